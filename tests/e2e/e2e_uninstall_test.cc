// Removing the sample product as a user does: install it through the wizard,
// start the command registered under the Uninstall key, confirm, answer the
// copy's questions and close its dialog; then look from outside at what is
// left, and at what a restart of the system removes.
#include <windows.h>
#include <tlhelp32.h>
#include <shlobj.h>

#include <string>
#include <vector>

#include "tests/e2e/e2e_fixture.h"

namespace e2e {
namespace {

const char kTitle[] = "サンプル メモ表示";
const char kFolderName[] = "SampleNotes";
const char kNotesKey[] = "Software\\Sample\\Notes";
constexpr int kStatusText = 1010;
constexpr int kDesktopBox = 1005;

const char kRemovingText[] = "削除しています...";
const char kQuestionSuffix[] = " - このファイルを削除してもいいですか？";
const char kFolderFailedSuffix[] = " - ディレクトリの削除に失敗しました";
const char kRemoveFailedSuffix[] =
    "の削除に失敗しました。このファイルをスキップして処理を続行します。";

std::string SystemDir() {
  char path[MAX_PATH] = "";
  GetSystemDirectoryA(path, MAX_PATH);
  return WithBackslash(path);
}

std::string RegistryString(HKEY root, const std::string& path, const char* name) {
  HKEY key;
  if (RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return "";
  char value[1024] = "";
  DWORD size = sizeof value - 1;
  RegQueryValueExA(key, name, nullptr, nullptr, reinterpret_cast<BYTE*>(value), &size);
  RegCloseKey(key);
  return value;
}

// The file names in PendingFileRenameOperations that are to be deleted (an
// empty target), without their "\??\" prefix.
std::vector<std::string> PendingDeletions() {
  std::vector<std::string> names;
  HKEY key;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "System\\CurrentControlSet\\Control\\Session Manager",
                    0, KEY_READ, &key) != ERROR_SUCCESS) {
    return names;
  }
  std::string bytes(65536, '\0');
  DWORD size = static_cast<DWORD>(bytes.size());
  if (RegQueryValueExA(key, "PendingFileRenameOperations", nullptr, nullptr,
                       reinterpret_cast<BYTE*>(&bytes[0]), &size) == ERROR_SUCCESS) {
    bytes.resize(size);
    std::vector<std::string> items;
    for (size_t start = 0; start < bytes.size();) {
      const size_t end = bytes.find('\0', start);
      if (end == std::string::npos || (end == start && start + 1 >= bytes.size())) break;
      items.push_back(bytes.substr(start, end - start));
      start = end + 1;
    }
    for (size_t i = 0; i + 1 < items.size(); i += 2) {
      std::string source = items[i];
      if (source.compare(0, 4, "\\??\\") == 0) source = source.substr(4);
      if (items[i + 1].empty()) names.push_back(source);
    }
  }
  RegCloseKey(key);
  return names;
}

bool SamePath(const std::string& a, const std::string& b) {
  return lstrcmpiA(a.c_str(), b.c_str()) == 0;
}

// Ids of the running processes whose program file is named `exe_name`.
std::vector<DWORD> ProcessesNamed(const char* exe_name) {
  std::vector<DWORD> ids;
  HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  if (snapshot == INVALID_HANDLE_VALUE) return ids;
  PROCESSENTRY32 entry;
  entry.dwSize = sizeof entry;
  for (BOOL more = Process32First(snapshot, &entry); more;
       more = Process32Next(snapshot, &entry)) {
    if (lstrcmpiA(entry.szExeFile, exe_name) == 0) ids.push_back(entry.th32ProcessID);
  }
  CloseHandle(snapshot);
  return ids;
}

// Closes the windows of process `pid` and waits for it to end; ends it when
// it does not.
void EndProcess(DWORD pid) {
  HANDLE process = OpenProcess(SYNCHRONIZE | PROCESS_TERMINATE, FALSE, pid);
  if (!process) return;
  for (HWND window : uidriver::TopWindows(pid, false)) PostMessageA(window, WM_CLOSE, 0, 0);
  if (WaitForSingleObject(process, 5000) != WAIT_OBJECT_0) {
    TerminateProcess(process, 255);
    WaitForSingleObject(process, 5000);
  }
  CloseHandle(process);
}

struct FindByCaption {
  const char* caption;
  HWND found;
};

BOOL CALLBACK MatchCaption(HWND window, LPARAM param) {
  FindByCaption* find = reinterpret_cast<FindByCaption*>(param);
  if (IsWindowVisible(window) && uidriver::WindowText(window) == find->caption) {
    find->found = window;
    return FALSE;
  }
  return TRUE;
}

// A visible top-level window of any process with this caption.
HWND WaitForWindowOfAnyProcess(const std::string& caption, int timeout_ms) {
  FindByCaption find = {caption.c_str(), nullptr};
  uidriver::PollUntil(timeout_ms, [&] {
    EnumWindows(MatchCaption, reinterpret_cast<LPARAM>(&find));
    return find.found != nullptr;
  });
  return find.found;
}

class UninstallTest : public SetupTest {
 protected:
  void SetUp() override {
    SetupTest::SetUp();
    install_dir_ = DefaultInstallDir(kFolderName);
    uninstall_key_ = std::string(kUninstallKey) + kFolderName;
    copy_path_ = SystemDir() + "SETUP.EXE";
    group_ = ShellFolder(CSIDL_PROGRAMS) + kTitle;
    desktop_link_ = ShellFolder(CSIDL_DESKTOPDIRECTORY) + kTitle + ".lnk";
    CleanupProduct(kFolderName);
    CleanupKey(HKEY_CURRENT_USER, "Software\\Sample");
    CleanupFolder(group_);
    DeleteFileA(copy_path_.c_str());  // left by an earlier run
  }

  void TearDown() override {
    if (copy_pid_ != 0) EndProcess(copy_pid_);
    hand_off_.Terminate();
    for (DWORD pid : ProcessesNamed("NOTES.EXE")) EndProcess(pid);
    DeleteFileA(desktop_link_.c_str());
    SetupTest::TearDown();
  }

  // Installs the sample product through the wizard, taking every proposal,
  // and ends the program and viewer that Finish starts.
  void InstallSample() {
    const std::string dist = MakeSampleDistribution("dist");
    StartSetup(dist);
    HWND wizard = WaitForWizard();
    ASSERT_TRUE(wizard);
    HWND shown = uidriver::WaitForCurrentPage(wizard, kWindowTimeoutMs);
    ASSERT_TRUE(shown);
    for (int page = 0; page < 2; ++page) {
      // On the options page: a desktop shortcut as well.
      HWND desktop = GetDlgItem(shown, kDesktopBox);
      if (desktop && SendMessageA(desktop, BM_GETCHECK, 0, 0) != BST_CHECKED) {
        std::string error;
        ASSERT_TRUE(uidriver::Press(desktop, &error)) << error;
        ASSERT_TRUE(uidriver::PollUntil(5000, [&] {
          return SendMessageA(desktop, BM_GETCHECK, 0, 0) == BST_CHECKED;
        }));
      }
      ASSERT_TRUE(PressWhenUsable(wizard, uidriver::kWizardNext));
      shown = uidriver::WaitForCurrentPage(wizard, kWindowTimeoutMs, shown);
      ASSERT_TRUE(shown) << "page " << page << " did not move on";
    }
    ASSERT_TRUE(PressWhenUsable(wizard, uidriver::kWizardFinish));
    DWORD exit_code = 0;
    ASSERT_TRUE(setup().WaitForExit(kExitTimeoutMs, &exit_code));
    ASSERT_TRUE(FileExists(install_dir_ + "NOTES.EXE"));
    ASSERT_TRUE(FolderExists(group_));
    ASSERT_TRUE(FileExists(desktop_link_));
    // NOTES.EXE started by Finish: wait for its window, then end it.
    HWND notes = WaitForWindowOfAnyProcess(std::string(kTitle) + " - README.TXT",
                                           kWindowTimeoutMs);
    EXPECT_TRUE(notes) << "NOTES.EXE did not come up after Finish";
    for (DWORD pid : ProcessesNamed("NOTES.EXE")) EndProcess(pid);
    ASSERT_TRUE(KeyExists(HKEY_CURRENT_USER, kNotesKey)) << "NOTES.EXE records its file";
  }

  ::testing::AssertionResult PressWhenUsable(HWND wizard, int id) {
    HWND button = GetDlgItem(wizard, id);
    if (!uidriver::PollUntil(kWindowTimeoutMs, [&] {
          return button && IsWindowVisible(button) && IsWindowEnabled(button);
        })) {
      return ::testing::AssertionFailure() << "button " << id << " never became usable";
    }
    std::string error;
    if (!uidriver::PressWizardButton(wizard, id, &error)) {
      return ::testing::AssertionFailure() << error;
    }
    return ::testing::AssertionSuccess();
  }

  // Starts the command registered under the Uninstall key as the system's
  // list of programs does and answers the confirmation with `answer`;
  // returns the copy's dialog after OK.
  HWND StartUninstallAndConfirm(int answer = IDOK) {
    const std::string command = RegistryString(HKEY_LOCAL_MACHINE, uninstall_key_,
                                               "UninstallString");
    EXPECT_EQ(command, "\"" + install_dir_ + "SETUP.EXE\" /r");
    std::string error;
    EXPECT_TRUE(hand_off_.StartRaw(install_dir_ + "SETUP.EXE", command, SystemDir(), &error))
        << error;
    uidriver::MessageBoxInfo confirm;
    EXPECT_TRUE(uidriver::WaitForMessageBox(hand_off_.id(), kWindowTimeoutMs, &confirm));
    EXPECT_EQ(confirm.text, std::string(kTitle) + "を削除します。")
        << uidriver::ToUtf8(confirm.text);
    EXPECT_EQ(confirm.caption, kTitle);
    EXPECT_STREQ(uidriver::IconName(confirm.icon), "information");
    EXPECT_EQ(confirm.buttons, (std::vector<int>{IDOK, IDCANCEL}));
    EXPECT_EQ(confirm.owner, nullptr);
    EXPECT_TRUE(uidriver::AnswerMessageBox(confirm.hwnd, answer, &error)) << error;
    DWORD exit_code = 0;
    EXPECT_TRUE(hand_off_.WaitForExit(kExitTimeoutMs, &exit_code));
    EXPECT_EQ(exit_code, 1u);
    if (answer != IDOK) return nullptr;

    HWND dialog = WaitForWindowOfAnyProcess(std::string(kTitle) + "の削除", kWindowTimeoutMs);
    EXPECT_TRUE(dialog) << "the copy's dialog did not come up";
    if (!dialog) return nullptr;
    GetWindowThreadProcessId(dialog, &copy_pid_);
    // It is the copy in the system directory that runs it.
    HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, copy_pid_);
    char image[MAX_PATH] = "";
    DWORD size = MAX_PATH;
    if (process) {
      QueryFullProcessImageNameA(process, 0, image, &size);
      CloseHandle(process);
    }
    EXPECT_TRUE(SamePath(image, copy_path_)) << image;
    // Centred on the screen.
    RECT rect;
    GetWindowRect(dialog, &rect);
    EXPECT_NEAR(rect.left, (GetSystemMetrics(SM_CXSCREEN) - (rect.right - rect.left)) / 2, 1);
    EXPECT_NEAR(rect.top, (GetSystemMetrics(SM_CYSCREEN) - (rect.bottom - rect.top)) / 2, 1);
    return dialog;
  }

  // The next message box of the copy, checked against the text, icon and
  // buttons expected of it; owned by the dialog.
  uidriver::MessageBoxInfo CopyBox(HWND dialog, const std::string& text, const char* icon,
                                   const std::vector<int>& buttons) {
    uidriver::MessageBoxInfo box;
    EXPECT_TRUE(uidriver::WaitForMessageBox(copy_pid_, kWindowTimeoutMs, &box))
        << "expected: " << uidriver::ToUtf8(text);
    EXPECT_EQ(box.text, text) << "shown: " << uidriver::ToUtf8(box.text)
                              << "\nexpected: " << uidriver::ToUtf8(text);
    EXPECT_STREQ(uidriver::IconName(box.icon), icon);
    EXPECT_EQ(box.buttons, buttons);
    EXPECT_EQ(box.owner, dialog);
    EXPECT_EQ(box.caption, std::string(icon) == "error" ? kDefaultErrorCaption : kTitle);
    return box;
  }

  void Answer(const uidriver::MessageBoxInfo& box, int button) {
    std::string error;
    EXPECT_TRUE(uidriver::AnswerMessageBox(box.hwnd, button, &error)) << error;
  }

  // Waits for the outcome, checks it and closes the dialog with "終了".
  void ExpectOutcomeAndFinish(HWND dialog, const std::string& text) {
    HWND finish = GetDlgItem(dialog, IDCANCEL);
    EXPECT_TRUE(uidriver::PollUntil(kWindowTimeoutMs, [&] {
      return IsWindowEnabled(finish) != 0;
    })) << "終了 never became usable";
    EXPECT_EQ(uidriver::WindowText(GetDlgItem(dialog, kStatusText)), text)
        << uidriver::ToUtf8(uidriver::WindowText(GetDlgItem(dialog, kStatusText)));
    EXPECT_EQ(uidriver::WindowText(finish), "終了");
    DWORD thread = GetWindowThreadProcessId(dialog, nullptr);
    GUITHREADINFO gui = {};
    gui.cbSize = sizeof gui;
    if (GetGUIThreadInfo(thread, &gui)) {
      EXPECT_EQ(gui.hwndFocus, finish);
    }
    std::string error;
    EXPECT_TRUE(uidriver::Press(finish, &error)) << error;
    HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, copy_pid_);
    EXPECT_TRUE(process && WaitForSingleObject(process, kExitTimeoutMs) == WAIT_OBJECT_0)
        << "the copy did not end after 終了";
    if (process) CloseHandle(process);
    copy_pid_ = 0;
  }

  // While the first question is up the dialog still says it is removing,
  // and its button cannot be used.
  void ExpectStillRemoving(HWND dialog) {
    EXPECT_EQ(uidriver::WindowText(GetDlgItem(dialog, kStatusText)), kRemovingText);
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(dialog, IDCANCEL)));
  }

  bool CopyScheduled() {
    for (const std::string& name : PendingDeletions()) {
      if (SamePath(name, copy_path_)) return true;
    }
    return false;
  }

  void ExpectProductGone() {
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, kNotesKey)) << "[Reg] key";
    EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, "Software\\Sample")) << "only the listed key goes";
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, uninstall_key_));
    EXPECT_FALSE(FolderExists(group_)) << "Start menu group";
    EXPECT_FALSE(FileExists(desktop_link_));
  }

  std::string install_dir_;
  std::string uninstall_key_;
  std::string copy_path_;
  std::string group_;
  std::string desktop_link_;
  uidriver::Process hand_off_;
  DWORD copy_pid_ = 0;
};

TEST_F(UninstallTest, RemovesEverythingAndTheCopyGoesAtRestart) {
  InstallSample();
  ASSERT_FALSE(HasFailure());
  WriteFileBytes(install_dir_ + "MEMO.TXT", "the user's own notes");

  HWND dialog = StartUninstallAndConfirm();
  ASSERT_TRUE(dialog);
  uidriver::MessageBoxInfo question =
      CopyBox(dialog, install_dir_ + "MEMO.TXT" + kQuestionSuffix, "question",
              {IDYES, IDNO, IDCANCEL});
  ExpectStillRemoving(dialog);
  Answer(question, IDYES);
  ExpectOutcomeAndFinish(dialog, std::string(kTitle) + "は正常に削除されました。");

  EXPECT_FALSE(FolderExists(install_dir_));
  ExpectProductGone();
  EXPECT_TRUE(FileExists(copy_path_));
  EXPECT_TRUE(CopyScheduled()) << "PendingFileRenameOperations lacks " << copy_path_;

  // The system restarts.
  uidriver::Process restart;
  std::string error;
  ASSERT_TRUE(restart.Start(SystemDir() + "wineboot.exe", "-r", SystemDir(), &error)) << error;
  EXPECT_TRUE(restart.WaitForExit(60000));
  EXPECT_FALSE(FileExists(copy_path_)) << "the copy outlived the restart";
  EXPECT_FALSE(CopyScheduled());
}

TEST_F(UninstallTest, KeepingTheUsersFileLeavesExactlyItAndItsFolder) {
  InstallSample();
  ASSERT_FALSE(HasFailure());
  WriteFileBytes(install_dir_ + "MEMO.TXT", "the user's own notes");

  HWND dialog = StartUninstallAndConfirm();
  ASSERT_TRUE(dialog);
  Answer(CopyBox(dialog, install_dir_ + "MEMO.TXT" + kQuestionSuffix, "question",
                 {IDYES, IDNO, IDCANCEL}),
         IDNO);
  const std::string folder = install_dir_.substr(0, install_dir_.size() - 1);
  Answer(CopyBox(dialog, folder + kFolderFailedSuffix, "error", {IDOK}), IDOK);
  ExpectOutcomeAndFinish(dialog, install_dir_ +
                                     " にはまだファイルが残っています。後で削除してください。");

  EXPECT_EQ(ListTree(install_dir_), std::vector<std::string>{"MEMO.TXT 20"});
  ExpectProductGone();
  EXPECT_TRUE(CopyScheduled());
}

TEST_F(UninstallTest, ProgramInUseStopsEarlyThenASecondUninstallCompletes) {
  InstallSample();
  ASSERT_FALSE(HasFailure());
  // The product's program runs: the platform keeps its file from deletion.
  const std::string program = install_dir_ + "NOTES.EXE";
  uidriver::Process running;
  std::string error;
  ASSERT_TRUE(running.Start(program, "", install_dir_, &error)) << error;
  ASSERT_TRUE(WaitForWindowOfAnyProcess(std::string(kTitle) + " - README.TXT",
                                        kWindowTimeoutMs));

  HWND dialog = StartUninstallAndConfirm();
  ASSERT_TRUE(dialog);
  Answer(CopyBox(dialog, program + kRemoveFailedSuffix, "error", {IDOK}), IDOK);
  Answer(CopyBox(dialog,
                 program + " の削除に失敗しました。" + kTitle +
                     "を終了して、もう一度アンインストールをやり直してください。",
                 "error", {IDOK}),
         IDOK);
  ExpectOutcomeAndFinish(dialog, install_dir_ +
                                     " にはまだファイルが残っています。後で削除してください。");
  // What the registered command needs is still there.
  EXPECT_EQ(ListTree(install_dir_).size(), 4u) << "NOTES.EXE, SETUP.EXE, SETUP.INF, TEMPLATE\\";
  EXPECT_TRUE(FileExists(install_dir_ + "SETUP.EXE"));
  EXPECT_TRUE(FileExists(install_dir_ + "SETUP.INF"));
  EXPECT_FALSE(FileExists(install_dir_ + "README.TXT"));
  EXPECT_TRUE(KeyExists(HKEY_LOCAL_MACHINE, uninstall_key_));
  EXPECT_TRUE(FolderExists(group_));
  EXPECT_TRUE(FileExists(desktop_link_));

  // The user quits the program: the same command now completes.
  EndProcess(running.id());
  ASSERT_FALSE(running.Running());
  dialog = StartUninstallAndConfirm();
  ASSERT_TRUE(dialog);
  ExpectOutcomeAndFinish(dialog, std::string(kTitle) + "は正常に削除されました。");
  EXPECT_FALSE(FolderExists(install_dir_));
  ExpectProductGone();
}

TEST_F(UninstallTest, CancelAtTheConfirmationChangesNothing) {
  InstallSample();
  ASSERT_FALSE(HasFailure());
  const std::vector<std::string> before = ListTree(install_dir_);
  EXPECT_EQ(StartUninstallAndConfirm(IDCANCEL), nullptr);
  EXPECT_FALSE(FileExists(copy_path_));
  EXPECT_TRUE(ProcessesNamed("SETUP.EXE").empty());
  EXPECT_EQ(ListTree(install_dir_), before);
  EXPECT_TRUE(KeyExists(HKEY_LOCAL_MACHINE, uninstall_key_));
}

}  // namespace
}  // namespace e2e
