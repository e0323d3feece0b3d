// The install sequence as the user meets it: the sample product installed
// from start to finish and checked from outside the program (files, registry
// values, shortcut files), Finish starting the program, a second run
// proposing the same folder; and the faults of copying for real.
#include <windows.h>
#include <objbase.h>
#include <shlobj.h>

#include <string>
#include <vector>

#include "tests/common/shell_link_reader.h"
#include "tests/e2e/e2e_fixture.h"
#include "tests/e2e/e2e_wizard_helpers.h"

namespace e2e {
namespace {

const char kSampleTitle[] = "サンプル メモ表示";

using link_reader::LinkContents;
using link_reader::ReadLink;

// A visible top-level window of another program whose caption holds `part`.
HWND FindWindowWithCaption(const std::string& part, const char* class_name = nullptr) {
  struct Search {
    std::string part;
    const char* class_name;
    HWND found;
  } search = {part, class_name, nullptr};
  EnumWindows(
      [](HWND window, LPARAM data) -> BOOL {
        Search* s = reinterpret_cast<Search*>(data);
        if (!IsWindowVisible(window)) return TRUE;
        if (s->class_name && uidriver::ClassName(window) != s->class_name) return TRUE;
        if (uidriver::WindowText(window).find(s->part) == std::string::npos) return TRUE;
        s->found = window;
        return FALSE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.found;
}

// Class and caption of every visible top-level window, for failure messages.
std::string VisibleWindowList() {
  std::string list;
  EnumWindows(
      [](HWND window, LPARAM data) -> BOOL {
        if (IsWindowVisible(window)) {
          *reinterpret_cast<std::string*>(data) += uidriver::ClassName(window) + " \"" +
                                                   uidriver::ToUtf8(uidriver::WindowText(window)) +
                                                   "\"\n";
        }
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&list));
  return list;
}

// The executable of the process that owns `window`.
std::string ImageOf(HWND window) {
  DWORD pid = 0;
  if (!window || !GetWindowThreadProcessId(window, &pid)) return "";
  HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid);
  if (!process) return "";
  char path[MAX_PATH * 2] = "";
  DWORD size = sizeof path;
  if (!QueryFullProcessImageNameA(process, 0, path, &size)) path[0] = '\0';
  CloseHandle(process);
  return path;
}

class InstallTest : public WizardFlowTest {
 protected:
  // Waits for the wizard and its destination page; `dest` into the field,
  // then Next.
  void NextOnDestination(const std::string& dest) {
    wizard_ = WaitForWizard();
    ASSERT_TRUE(wizard_);
    HWND page = WaitForPage(wizard_, kDestinationPage);
    ASSERT_TRUE(page);
    ASSERT_TRUE(uidriver::SetWindowTextTo(GetDlgItem(page, kFolderField), dest));
    ASSERT_TRUE(PressWhenUsable(wizard_, uidriver::kWizardNext));
  }

  // From the destination page to the copy page: `dest` into the field, Next,
  // the options as given, Next.
  void RunToCopyPage(const std::string& dest, bool start_menu, bool desktop) {
    NextOnDestination(dest);
    if (HasFatalFailure()) return;
    ContinueFromOptions(start_menu, desktop);
  }

  // On the options page (or its low-space question before it): sets the
  // boxes and presses Next.
  void ContinueFromOptions(bool start_menu, bool desktop) {
    HWND options = WaitForPage(wizard_, kOptionsPage);
    ASSERT_TRUE(options) << uidriver::Describe(wizard_);
    std::string error;
    if (IsChecked(options, kStartMenuBox) != start_menu) {
      ASSERT_TRUE(uidriver::PressId(options, kStartMenuBox, &error)) << error;
    }
    if (IsChecked(options, kDesktopBox) != desktop) {
      ASSERT_TRUE(uidriver::PressId(options, kDesktopBox, &error)) << error;
    }
    ASSERT_TRUE(uidriver::PollUntil(5000, [&] {
      return IsChecked(options, kStartMenuBox) == start_menu &&
             IsChecked(options, kDesktopBox) == desktop;
    }));
    ASSERT_TRUE(PressWhenUsable(wizard_, uidriver::kWizardNext));
    copy_ = WaitForPage(wizard_, kCopyPage);
    ASSERT_TRUE(copy_) << uidriver::Describe(wizard_);
  }

  ::testing::AssertionResult WaitForFinish() {
    if (uidriver::PollUntil(60000, [&] { return ButtonUsable(wizard_, uidriver::kWizardFinish); })) {
      return ::testing::AssertionSuccess();
    }
    return ::testing::AssertionFailure() << "Finish never enabled: " << uidriver::Describe(wizard_);
  }

  HWND wizard_ = nullptr;
  HWND copy_ = nullptr;
};

TEST_F(InstallTest, TheSampleInstallsFromStartToFinish) {
  CleanupProduct("SampleNotes");
  CleanupKey(HKEY_CURRENT_USER, "Software\\Sample");
  const std::string group = ShellFolder(CSIDL_PROGRAMS) + kSampleTitle + "\\";
  const std::string desktop_link = ShellFolder(CSIDL_DESKTOPDIRECTORY) + kSampleTitle + ".lnk";
  const std::string startup_link = ShellFolder(CSIDL_STARTUP) + kSampleTitle + ".lnk";
  CleanupFolder(group);
  CleanupFolder(desktop_link);
  CleanupFolder(startup_link);
  const std::string dist = MakeSampleDistribution("sample");
  const std::string dest = work() + "Sample Notes\\";  // a blank in the path

  StartSetup(dist);
  ASSERT_NO_FATAL_FAILURE(RunToCopyPage(dest, true, true));
  ASSERT_TRUE(WaitForFinish());

  // The page at the end: the bar full and hidden, the closing texts.
  const ProgressState bar = ReadProgress(copy_);
  EXPECT_EQ(bar.low, 0);
  EXPECT_EQ(bar.high, 4 + 3);
  EXPECT_EQ(bar.position, 4 + 3);
  EXPECT_FALSE(bar.visible);
  EXPECT_EQ(ControlText(copy_, kCopyStatus), InstallCompleteText());
  EXPECT_TRUE(IsWindowVisible(GetDlgItem(copy_, kRemoveHint)));
  EXPECT_EQ(ControlText(copy_, kRemoveHint), RemoveHintText());
  EXPECT_FALSE(ButtonUsable(wizard_, uidriver::kWizardBack));
  EXPECT_FALSE(ButtonUsable(wizard_, uidriver::kWizardNext));

  // Files, with the subfolder of entry 3.
  EXPECT_EQ(ListTree(dest).size(), 7u);  // five files, TEMPLATE\ and its file
  for (const char* name : {"SETUP.EXE", "SETUP.INF", "NOTES.EXE", "HISTORY.TXT", "README.TXT"}) {
    EXPECT_EQ(ReadFileBytes(dest + name), ReadFileBytes(dist + name)) << name;
    EXPECT_FALSE(ReadFileBytes(dest + name).empty()) << name;
  }
  EXPECT_EQ(ReadFileBytes(dest + "TEMPLATE\\BLANK.DAT"), ReadFileBytes(dist + "DATA\\BLANK.DAT"));
  EXPECT_TRUE(FileExists(dest + "TEMPLATE\\BLANK.DAT"));

  // The uninstall registration.
  const std::string key = std::string(kUninstallKey) + "SampleNotes";
  EXPECT_EQ(RegistryString(HKEY_LOCAL_MACHINE, key, "DisplayName"), kSampleTitle);
  EXPECT_EQ(RegistryString(HKEY_LOCAL_MACHINE, key, "UninstallString"),
            "\"" + dest + "SETUP.EXE\" /r");

  // The shortcuts: the group with one link per [Group] item, the desktop.
  struct Expected {
    std::string file;
    std::string arguments;
    std::string description;
  } links[] = {
      {group + kSampleTitle + ".lnk", "", kSampleTitle},
      {group + "お読みください.lnk", "README.TXT", "お読みください"},
      {desktop_link, "", kSampleTitle},
  };
  for (const Expected& expected : links) {
    SCOPED_TRACE(uidriver::ToUtf8(expected.file));
    const LinkContents link = ReadLink(expected.file);
    ASSERT_TRUE(link.loaded);
    EXPECT_EQ(lstrcmpiA(link.path.c_str(), (dest + "NOTES.EXE").c_str()), 0)
        << uidriver::ToUtf8(link.path);
    EXPECT_EQ(link.arguments, expected.arguments);
    EXPECT_EQ(link.description, expected.description);
    EXPECT_EQ(link.workingDirectory, dest);
  }
  EXPECT_FALSE(FileExists(startup_link));

  // Finish starts the program from the destination, then opens README.TXT
  // with the application associated with .TXT. A new Wine prefix has the
  // class txtfile (Notepad) but no .txt key, so the test associates them
  // (in the machine's classes: this Wine does not merge the user's).
  if (!KeyExists(HKEY_CLASSES_ROOT, ".txt")) {
    HKEY txt;
    ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, "Software\\Classes\\.txt", 0, nullptr, 0,
                              KEY_WRITE, nullptr, &txt, nullptr),
              ERROR_SUCCESS);
    RegSetValueExA(txt, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>("txtfile"), 8);
    RegCloseKey(txt);
    CleanupKey(HKEY_LOCAL_MACHINE, "Software\\Classes\\.txt");
  }
  // A program named like the part of the path before its blank must not be
  // the one started.
  const std::string decoy = work() + "Sample.exe";
  ASSERT_TRUE(CopyFileA((dist + "NOTES.EXE").c_str(), decoy.c_str(), FALSE));
  ASSERT_TRUE(PressWhenUsable(wizard_, uidriver::kWizardFinish));
  EXPECT_EQ(WaitForWizardToEnd(wizard_), 1u);
  HWND notes = nullptr;
  EXPECT_TRUE(uidriver::PollUntil(kWindowTimeoutMs, [&] {
    notes = FindWindowWithCaption(std::string(kSampleTitle) + " - README.TXT", "SampleNotesWindow");
    return notes != nullptr;
  })) << VisibleWindowList();
  EXPECT_EQ(lstrcmpiA(ImageOf(notes).c_str(), (dest + "NOTES.EXE").c_str()), 0)
      << uidriver::ToUtf8(ImageOf(notes));
  HWND viewer = nullptr;
  EXPECT_TRUE(uidriver::PollUntil(kWindowTimeoutMs, [&] {
    viewer = FindWindowWithCaption("README");
    return viewer != nullptr && viewer != notes;
  })) << VisibleWindowList();

  // A second run proposes this installation's folder.
  StartSetup(dist);
  wizard_ = WaitForWizard();
  ASSERT_TRUE(wizard_);
  HWND page = WaitForPage(wizard_, kDestinationPage);
  ASSERT_TRUE(page);
  EXPECT_EQ(ControlText(page, kFolderField), dest);
  ASSERT_TRUE(PressWhenUsable(wizard_, uidriver::kWizardCancel));
  EXPECT_EQ(WaitForWizardToEnd(wizard_), 1u);
}

TEST_F(InstallTest, CopyFaultsAreShownAndTheSequenceGoesOn) {
  const char kFolder[] = "E2eFaults";
  CleanupProduct(kFolder);
  const std::string dist =
      MakeDistribution("disk1", {"[Install]", "Title=E2E 障害", std::string("Folder=") + kFolder,
                                 "1=A.TXT", "2=MISSING.TXT", "3=LOCKED.TXT", "4=RO.TXT",
                                 "5=C.TXT,SUB\\DEEP\\C.TXT"});
  AddFile(dist, "A.TXT", "a");
  AddFile(dist, "LOCKED.TXT", "new");
  AddFile(dist, "RO.TXT", "read-only");
  AddFile(dist, "C.TXT", "c");
  ASSERT_TRUE(SetFileAttributesA((dist + "RO.TXT").c_str(),
                                 FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_ARCHIVE));
  const std::string dest = work() + "dest\\";
  ASSERT_TRUE(WriteFileBytes(dest + "LOCKED.TXT", "old"));
  // Held open without sharing, as a running program holds its files.
  HANDLE held = CreateFileA((dest + "LOCKED.TXT").c_str(), GENERIC_READ, 0, nullptr,
                            OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);

  StartSetup(dist);
  ASSERT_NO_FATAL_FAILURE(RunToCopyPage(dest, false, false));
  uidriver::MessageBoxInfo box = WaitForMessageBox();
  ExpectErrorBox(box, "MISSING.TXT のコピーに失敗しました。", wizard_);
  EXPECT_EQ(ReadFileBytes(dest + "A.TXT"), "a");
  Answer(box, IDOK);
  box = WaitForMessageBox();
  ExpectErrorBox(box, dest + "LOCKED.TXT は他で使用中のため上書きできません。", wizard_);
  Answer(box, IDOK);
  ASSERT_TRUE(WaitForFinish());
  CloseHandle(held);

  EXPECT_EQ(ReadFileBytes(dest + "LOCKED.TXT"), "old");
  EXPECT_EQ(ReadFileBytes(dest + "RO.TXT"), "read-only");
  EXPECT_EQ(GetFileAttributesA((dest + "RO.TXT").c_str()) & FILE_ATTRIBUTE_READONLY, 0u);
  EXPECT_EQ(ReadFileBytes(dest + "SUB\\DEEP\\C.TXT"), "c");
  EXPECT_TRUE(KeyExists(HKEY_LOCAL_MACHINE, std::string(kUninstallKey) + kFolder));
  // Both boxes were cleared on the options page: no shortcut of either kind.
  EXPECT_FALSE(FileExists(ShellFolder(CSIDL_PROGRAMS) + "E2E 障害.lnk"));
  EXPECT_FALSE(FileExists(ShellFolder(CSIDL_DESKTOPDIRECTORY) + "E2E 障害.lnk"));

  // Finish with entry 1 a text file: nothing starts and nothing is shown.
  ASSERT_TRUE(PressWhenUsable(wizard_, uidriver::kWizardFinish));
  EXPECT_EQ(WaitForWizardToEnd(wizard_), 1u);
}

TEST_F(InstallTest, AFullDriveFailsTheCopyOnly) {
  const std::string drive = SmallDrive();
  if (drive.empty()) GTEST_SKIP() << "no small drive (E2E_SMALL_DRIVE) in this run";
  const char kFolder[] = "E2eFull";
  CleanupProduct(kFolder);
  ULARGE_INTEGER free_bytes;
  ASSERT_TRUE(GetDiskFreeSpaceExA((drive + "\\").c_str(), &free_bytes, nullptr, nullptr));
  const std::string dist =
      MakeDistribution("disk1", {"[Install]", "Title=E2E 満杯", std::string("Folder=") + kFolder,
                                 "1=SMALL.TXT", "2=BIG.DAT"});
  AddFile(dist, "SMALL.TXT", "small");
  AddFile(dist, "BIG.DAT", std::string(free_bytes.QuadPart + (1 << 20), 'b'));
  const std::string dest = drive + "\\Full\\";
  CleanupFolder(dest);

  StartSetup(dist);
  ASSERT_NO_FATAL_FAILURE(NextOnDestination(dest));
  uidriver::MessageBoxInfo box = WaitForMessageBox();  // the low-space question
  EXPECT_EQ(box.text, LowSpaceText(LowSpaceFigure(drive + "\\")));
  Answer(box, IDYES);
  ASSERT_NO_FATAL_FAILURE(ContinueFromOptions(false, false));
  box = WaitForMessageBox();
  ExpectErrorBox(box, "BIG.DAT のコピーに失敗しました。", wizard_);
  Answer(box, IDOK);
  ASSERT_TRUE(WaitForFinish());
  EXPECT_EQ(ReadFileBytes(dest + "SMALL.TXT"), "small");
  EXPECT_TRUE(FileExists(dest + "SETUP.INF"));
  EXPECT_TRUE(KeyExists(HKEY_LOCAL_MACHINE, std::string(kUninstallKey) + kFolder));
  if (FileExists(dest + "BIG.DAT")) {
    printf("note: the failed copy left a partial BIG.DAT of %u bytes on the full drive\n",
           static_cast<unsigned>(ReadFileBytes(dest + "BIG.DAT").size()));
  }
  ASSERT_TRUE(PressWhenUsable(wizard_, uidriver::kWizardCancel));
  EXPECT_EQ(WaitForWizardToEnd(wizard_), 1u);
}

TEST_F(InstallTest, CancelWhileCopyingKeepsWhatWasCopiedAndRegistersNothing) {
  const char kFolder[] = "E2eCancel";
  const char kTitle[] = "E2E 中止";
  const int kEntries = 300;
  CleanupProduct(kFolder);
  std::vector<std::string> inf = {"[Install]", std::string("Title=") + kTitle,
                                  std::string("Folder=") + kFolder};
  const std::string dist = MakeDistribution("disk1", {});
  for (int i = 1; i <= kEntries; ++i) {
    const std::string name = "F" + std::to_string(1000 + i) + ".DAT";
    inf.push_back(std::to_string(i) + "=" + name);
    AddFile(dist, name, std::string(32 * 1024, static_cast<char>('a' + i % 26)));
  }
  ASSERT_TRUE(WriteFileBytes(dist + "SETUP.INF", InfText(inf)));
  const std::string dest = work() + "dest\\";
  const std::string programs_link = ShellFolder(CSIDL_PROGRAMS) + kTitle + ".lnk";
  CleanupFolder(programs_link);

  StartSetup(dist);
  ASSERT_NO_FATAL_FAILURE(RunToCopyPage(dest, true, false));
  ASSERT_TRUE(uidriver::PollUntil(kWindowTimeoutMs,
                                  [&] { return ReadProgress(copy_).position >= 10; }, 1));
  ASSERT_TRUE(PressWhenUsable(wizard_, uidriver::kWizardCancel));
  EXPECT_EQ(WaitForWizardToEnd(wizard_), 1u);

  const size_t copied = ListTree(dest).size();
  EXPECT_GE(copied, 9u);              // SETUP.EXE, SETUP.INF and some entries
  EXPECT_LT(copied, kEntries + 2u);   // but not all of them
  EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, std::string(kUninstallKey) + kFolder));
  EXPECT_FALSE(FileExists(programs_link));
}

}  // namespace
}  // namespace e2e
