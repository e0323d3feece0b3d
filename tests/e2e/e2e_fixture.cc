#include "tests/e2e/e2e_fixture.h"

#include <shlobj.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <algorithm>

namespace e2e {

const char kUninstallKey[] =
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";
const char kDamagedSetupFileText[] =
    "設定ファイルが壊れているか、または見つかりません。";
const char kDefaultErrorCaption[] = "エラー";

std::string ExeDir() {
  char path[MAX_PATH] = "";
  GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string dir = path;
  return dir.substr(0, dir.find_last_of('\\') + 1);
}

std::string SetupExePath() {
  const char* from_env = getenv("E2E_SETUP_EXE");
  if (from_env && *from_env) return from_env;
  return ExeDir() + "SETUP.EXE";
}

std::string WithBackslash(const std::string& folder) {
  // The last character is a backslash only when its byte does not end a
  // double-byte character (whose second byte may be 0x5C).
  bool ends_with_backslash = false;
  for (size_t i = 0; i < folder.size(); ++i) {
    ends_with_backslash = folder[i] == '\\';
    if (IsDBCSLeadByte(static_cast<BYTE>(folder[i]))) ++i;
  }
  return ends_with_backslash ? folder : folder + "\\";
}

bool FileExists(const std::string& path) {
  DWORD attributes = GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES &&
         !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool FolderExists(const std::string& path) {
  DWORD attributes = GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES &&
         (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool MakeFolders(const std::string& path) {
  std::string folder = WithBackslash(path);
  // Creates each level in turn, stepping over double-byte characters whose
  // second byte is a backslash; a level that exists already is fine.
  for (size_t i = 0; i < folder.size(); ++i) {
    if (IsDBCSLeadByte(static_cast<BYTE>(folder[i]))) {
      ++i;
      continue;
    }
    if (folder[i] == '\\' && i > 2) {
      CreateDirectoryA(folder.substr(0, i).c_str(), nullptr);
    }
  }
  return FolderExists(path);
}

bool WriteFileBytes(const std::string& path, const std::string& bytes) {
  size_t slash = path.find_last_of('\\');
  if (slash != std::string::npos) MakeFolders(path.substr(0, slash));
  HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr,
                            CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  BOOL ok = WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()),
                      &written, nullptr);
  CloseHandle(file);
  return ok && written == bytes.size();
}

std::string InfText(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines) text += line + "\r\n";
  return text;
}

bool DeleteTree(const std::string& path) {
  DWORD attributes = GetFileAttributesA(path.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return true;
  if (!(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    return DeleteFileA(path.c_str()) != 0;
  }
  std::string folder = WithBackslash(path);
  WIN32_FIND_DATAA found;
  HANDLE search = FindFirstFileA((folder + "*").c_str(), &found);
  if (search != INVALID_HANDLE_VALUE) {
    do {
      std::string name = found.cFileName;
      if (name != "." && name != "..") DeleteTree(folder + name);
    } while (FindNextFileA(search, &found));
    FindClose(search);
  }
  SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_DIRECTORY);
  RemoveDirectoryA(folder.substr(0, folder.size() - 1).c_str());
  return GetFileAttributesA(path.c_str()) == INVALID_FILE_ATTRIBUTES;
}

bool CopyTree(const std::string& from, const std::string& to) {
  std::string source = WithBackslash(from);
  std::string target = WithBackslash(to);
  bool ok = MakeFolders(target);
  WIN32_FIND_DATAA found;
  HANDLE search = FindFirstFileA((source + "*").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return false;
  do {
    std::string name = found.cFileName;
    if (name == "." || name == "..") continue;
    if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
      ok = CopyTree(source + name, target + name) && ok;
    } else {
      ok = CopyFileA((source + name).c_str(), (target + name).c_str(),
                     FALSE) && ok;
    }
  } while (FindNextFileA(search, &found));
  FindClose(search);
  return ok;
}

namespace {

// True when process `pid` runs the shell (explorer.exe), which serves the
// desktop and must outlive the tests.
bool IsShellProcess(DWORD pid) {
  HANDLE process =
      OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid);
  if (!process) return false;
  char path[MAX_PATH] = "";
  DWORD size = MAX_PATH;
  bool shell = QueryFullProcessImageNameA(process, 0, path, &size) &&
               size >= 12 &&
               lstrcmpiA(path + size - 12, "explorer.exe") == 0;
  CloseHandle(process);
  return shell;
}

void ListInto(const std::string& root, const std::string& relative,
              std::vector<std::string>* out) {
  WIN32_FIND_DATAA found;
  HANDLE search = FindFirstFileA((root + relative + "*").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return;
  do {
    std::string name = found.cFileName;
    if (name == "." || name == "..") continue;
    if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
      out->push_back(relative + name + "\\");
      ListInto(root, relative + name + "\\", out);
    } else {
      unsigned long long size =
          (static_cast<unsigned long long>(found.nFileSizeHigh) << 32) |
          found.nFileSizeLow;
      out->push_back(relative + name + " " + std::to_string(size));
    }
  } while (FindNextFileA(search, &found));
  FindClose(search);
}

std::string TestName() {
  const ::testing::TestInfo* info =
      ::testing::UnitTest::GetInstance()->current_test_info();
  std::string name = std::string(info->test_suite_name()) + "." + info->name();
  for (char& c : name) {
    if (strchr("\\/:*?\"<>| ", c)) c = '_';
  }
  return name;
}

}  // namespace

std::vector<std::string> ListTree(const std::string& folder) {
  std::vector<std::string> listing;
  ListInto(WithBackslash(folder), "", &listing);
  std::sort(listing.begin(), listing.end());
  return listing;
}

bool KeyExists(HKEY root, const std::string& subkey) {
  HKEY key;
  if (RegOpenKeyExA(root, subkey.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) {
    return false;
  }
  RegCloseKey(key);
  return true;
}

std::vector<std::string> SubkeyNames(HKEY root, const std::string& subkey) {
  std::vector<std::string> names;
  HKEY key;
  if (RegOpenKeyExA(root, subkey.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) {
    return names;
  }
  char name[256];
  for (DWORD i = 0;; ++i) {
    DWORD size = sizeof(name);
    if (RegEnumKeyExA(key, i, name, &size, nullptr, nullptr, nullptr,
                      nullptr) != ERROR_SUCCESS) {
      break;
    }
    names.push_back(name);
  }
  RegCloseKey(key);
  std::sort(names.begin(), names.end());
  return names;
}

void DeleteKeyTree(HKEY root, const std::string& subkey) {
  for (const std::string& child : SubkeyNames(root, subkey)) {
    DeleteKeyTree(root, subkey + "\\" + child);
  }
  RegDeleteKeyA(root, subkey.c_str());
}

std::string ShellFolder(int csidl) {
  char path[MAX_PATH] = "";
  if (FAILED(SHGetFolderPathA(nullptr, csidl, nullptr, 0, path))) return "";
  return WithBackslash(path);
}

std::string SampleDir() {
  return ExeDir() + "..\\..\\sample\\";
}

std::string DefaultInstallDir(const std::string& folder_name) {
  char windows[MAX_PATH] = "";
  GetWindowsDirectoryA(windows, MAX_PATH);
  std::string base = windows[1] == ':' ? std::string(windows, 2) +
                                             "\\Program Files\\"
                                       : std::string("c:\\");
  return base + folder_name + "\\";
}

void ExpectErrorBox(const uidriver::MessageBoxInfo& box,
                    const std::string& text, HWND owner) {
  EXPECT_EQ(box.text, text) << "shown: " << uidriver::ToUtf8(box.text)
                            << "\nexpected: " << uidriver::ToUtf8(text);
  EXPECT_EQ(box.caption, kDefaultErrorCaption)
      << "shown: " << uidriver::ToUtf8(box.caption);
  EXPECT_STREQ(uidriver::IconName(box.icon), "error");
  EXPECT_EQ(box.buttons, std::vector<int>{IDOK});
  EXPECT_EQ(box.owner, owner);
}

// --- SetupTest ---------------------------------------------------------------

void SetupTest::SetUp() {
  char temp[MAX_PATH] = "";
  GetTempPathA(MAX_PATH, temp);
  work_ = WithBackslash(temp) + "setup-e2e\\" + TestName() + "\\";
  DeleteTree(work_);
  ASSERT_TRUE(MakeFolders(work_)) << work_;
  ASSERT_TRUE(FileExists(SetupExePath())) << "no " << SetupExePath();
  windows_before_ = uidriver::VisibleTopWindows();
}

void SetupTest::CloseNewWindows() {
  std::vector<HWND> opened;
  for (HWND window : uidriver::VisibleTopWindows()) {
    if (std::find(windows_before_.begin(), windows_before_.end(), window) ==
        windows_before_.end()) {
      opened.push_back(window);
      PostMessageA(window, WM_CLOSE, 0, 0);
    }
  }
  auto all_closed = [&] {
    for (HWND window : opened) {
      if (IsWindow(window) && IsWindowVisible(window)) return false;
    }
    return true;
  };
  if (uidriver::PollUntil(5000, all_closed)) return;
  // A window that ignores WM_CLOSE (a program waiting in a message box):
  // end its process, unless it is the shell.
  for (HWND window : opened) {
    if (!IsWindow(window) || !IsWindowVisible(window)) continue;
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    if (pid == GetCurrentProcessId() || IsShellProcess(pid)) continue;
    HANDLE process = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, pid);
    if (!process) continue;
    TerminateProcess(process, 255);
    WaitForSingleObject(process, 5000);
    CloseHandle(process);
  }
}

void SetupTest::TearDown() {
  if (HasFailure()) {
    if (setup_.Running()) {
      for (HWND window : uidriver::TopWindows(setup_.id())) {
        printf("SETUP.EXE shows: %s", uidriver::Describe(window).c_str());
      }
    }
  }
  setup_.Terminate();
  CloseNewWindows();
  for (const auto& key : cleanup_keys_) DeleteKeyTree(key.first, key.second);
  for (const std::string& folder : cleanup_folders_) DeleteTree(folder);
  DeleteTree(work_);
}

std::string SetupTest::MakeDistribution(
    const std::string& name, const std::vector<std::string>& inf_lines) {
  std::string folder = MakeDistributionWithoutInf(name);
  EXPECT_TRUE(WriteFileBytes(folder + "SETUP.INF", InfText(inf_lines)));
  return folder;
}

std::string SetupTest::MakeSampleDistribution(const std::string& name) {
  std::string folder = WithBackslash(work_ + name);
  EXPECT_TRUE(CopyTree(SampleDir(), folder)) << "copying " << SampleDir();
  EXPECT_TRUE(CopyFileA(SetupExePath().c_str(), (folder + "SETUP.EXE").c_str(),
                        FALSE));
  return folder;
}

std::string SetupTest::MakeDistributionWithoutInf(const std::string& name) {
  std::string folder = WithBackslash(work_ + name);
  EXPECT_TRUE(MakeFolders(folder)) << folder;
  EXPECT_TRUE(CopyFileA(SetupExePath().c_str(), (folder + "SETUP.EXE").c_str(),
                        FALSE))
      << "copying SETUP.EXE to " << folder;
  return folder;
}

void SetupTest::AddFile(const std::string& folder,
                        const std::string& relative_path,
                        const std::string& bytes) {
  std::string path = WithBackslash(folder) + relative_path;
  EXPECT_TRUE(WriteFileBytes(path, bytes)) << path;
}

void SetupTest::StartSetup(const std::string& folder,
                           const std::string& arguments,
                           const std::string& current_dir) {
  std::string error;
  std::string dir = WithBackslash(folder);
  ASSERT_TRUE(setup_.Start(dir + "SETUP.EXE", arguments,
                           current_dir.empty() ? dir : current_dir, &error))
      << error;
}

HWND SetupTest::WaitForWizard(int timeout_ms) {
  HWND wizard = uidriver::WaitForWizard(setup_.id(), timeout_ms);
  EXPECT_TRUE(wizard) << "no wizard within " << timeout_ms << " ms";
  return wizard;
}

uidriver::MessageBoxInfo SetupTest::WaitForMessageBox(int timeout_ms) {
  uidriver::MessageBoxInfo box;
  EXPECT_TRUE(uidriver::WaitForMessageBox(setup_.id(), timeout_ms, &box))
      << "no message box within " << timeout_ms << " ms";
  return box;
}

void SetupTest::Answer(const uidriver::MessageBoxInfo& box, int button_id) {
  std::string error;
  EXPECT_TRUE(uidriver::AnswerMessageBox(box.hwnd, button_id, &error))
      << error;
}

DWORD SetupTest::WaitForExitWithoutWindow(int timeout_ms) {
  DWORD exit_code = 0;
  HWND window = nullptr;
  uidriver::Outcome outcome =
      uidriver::WaitForExitOrWindow(setup_, timeout_ms, &exit_code, &window);
  EXPECT_NE(outcome, uidriver::Outcome::kTimeout)
      << "SETUP.EXE still runs after " << timeout_ms << " ms";
  EXPECT_NE(outcome, uidriver::Outcome::kWindow)
      << "unexpected window: " << uidriver::Describe(window);
  return exit_code;
}

void SetupTest::ExpectDamagedSetupFileAndExit() {
  uidriver::MessageBoxInfo box = WaitForMessageBox();
  if (!box.hwnd) return;
  EXPECT_EQ(uidriver::TopWindows(setup_.id()).size(), 1u)
      << "more windows than the one message box";
  ExpectErrorBox(box, kDamagedSetupFileText, nullptr);
  Answer(box, IDOK);
  EXPECT_EQ(WaitForExitWithoutWindow(), 1u);
}

void SetupTest::CleanupFolder(const std::string& path) {
  cleanup_folders_.push_back(path);
}

void SetupTest::CleanupKey(HKEY root, const std::string& subkey) {
  cleanup_keys_.emplace_back(root, subkey);
}

void SetupTest::CleanupProduct(const std::string& folder_name) {
  CleanupFolder(DefaultInstallDir(folder_name));
  CleanupKey(HKEY_LOCAL_MACHINE, kUninstallKey + folder_name);
}

void SetupTest::SaveScreenshot(const std::string& suffix) {
  SaveTestScreenshot(suffix);
}

void SaveTestScreenshot(const std::string& suffix) {
  const char* folder = getenv("E2E_SCREENSHOTS");
  if (!folder || !*folder) return;
  MakeFolders(folder);
  std::string path = WithBackslash(folder) + TestName() + suffix + ".bmp";
  if (uidriver::SaveScreenshot(path)) {
    printf("screenshot: %s\n", path.c_str());
  }
}

namespace {

// Saves the screen at the first failed assertion of each test, while the
// windows that show the fault are still up.
class ScreenshotOnFailure : public ::testing::EmptyTestEventListener {
 public:
  void OnTestStart(const ::testing::TestInfo&) override { taken_ = false; }
  void OnTestPartResult(const ::testing::TestPartResult& result) override {
    if (!result.failed() || taken_) return;
    taken_ = true;
    SaveTestScreenshot("");
  }

 private:
  bool taken_ = false;
};

[[maybe_unused]] const bool kScreenshotListenerAdded = [] {
  ::testing::UnitTest::GetInstance()->listeners().Append(
      new ScreenshotOnFailure);
  return true;
}();

}  // namespace

}  // namespace e2e
