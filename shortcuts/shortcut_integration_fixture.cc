#include "shortcuts/shortcut_integration_fixture.h"

#include <windows.h>
#include <objbase.h>
#include <shlobj.h>

#include <string.h>

#include "startup/setup_description.h"
#include "startup/setup_state.h"

namespace setup {

const char ShortcutIntegrationTest::kTitle[] = "試験ノート";
const char ShortcutIntegrationTest::kStartupGroup[] = "スタートアップ";

uintptr_t RecordingPlatform::DdeClientTransaction(const void* data, uint32_t length,
                                                  void* conversation, void* item,
                                                  unsigned format, unsigned type,
                                                  uint32_t timeout) {
  const uintptr_t result = Win32Platform::DdeClientTransaction(data, length, conversation,
                                                               item, format, type, timeout);
  transactions.push_back({std::string(static_cast<const char*>(data), length), result});
  return result;
}

int RecordingPlatform::MessageBoxA(WindowHandle owner, const char* text, const char* caption,
                                   uint32_t flags) {
  ++messageBoxes;
  return Win32Platform::MessageBoxA(owner, text, caption, flags);
}

namespace {

// Dispatches this thread's messages for `milliseconds`, so that a DDE
// partner sending to our windows is never held up while a test waits.
void Pump(DWORD milliseconds) {
  const DWORD start = GetTickCount();
  do {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
  } while (GetTickCount() - start < milliseconds);
}

struct FolderWindowSearch {
  const char* title;
  std::vector<HWND> found;
};

BOOL CALLBACK CollectFolderWindow(HWND window, LPARAM parameter) {
  auto* search = reinterpret_cast<FolderWindowSearch*>(parameter);
  char className[64];
  char title[MAX_PATH];
  GetClassNameA(window, className, sizeof className);
  GetWindowTextA(window, title, sizeof title);
  // Wine's explorer names its folder windows ExplorerWClass; Windows uses
  // CabinetWClass.
  if ((strcmp(className, "ExplorerWClass") == 0 || strcmp(className, "CabinetWClass") == 0) &&
      strcmp(title, search->title) == 0) {
    search->found.push_back(window);
  }
  return TRUE;
}

std::vector<HWND> FolderWindows(const char* title) {
  FolderWindowSearch search{title, {}};
  EnumWindows(CollectFolderWindow, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

}  // namespace

ShortcutIntegrationTest::ShortcutIntegrationTest() {
  SetPlatform(&recorder_);
  installDir_ = scratch() + "Sample Program\\";
}

ShortcutIntegrationTest::~ShortcutIntegrationTest() {
  // Whatever a failed test left behind in the user's shell folders.
  const std::string title = kTitle;
  for (const char* kind : {"Programs", "Desktop", "Startup"}) {
    const std::string folder = ShellFolder(kind);
    if (!folder.empty()) DeleteFileA((folder + "\\" + title + ".lnk").c_str());
  }
  const std::string programs = ShellFolder("Programs");
  if (!programs.empty()) {
    RemoveTree(programs + "\\" + title);
    DeleteFileA((programs + "\\" + kStartupGroup + "\\" + title + ".lnk").c_str());
  }
  CloseFolderWindows(kTitle, 0);
  CloseFolderWindows(kStartupGroup, 0);
}

void ShortcutIntegrationTest::LoadProduct(const std::vector<std::string>& groupItems) {
  ASSERT_TRUE(CreateDirectoryA(installDir_.c_str(), nullptr));
  for (const char* name : {"NOTES.EXE", "NOTES.HLP", "SETUP.EXE"}) {
    WriteFileBytes(installDir_ + name, "MZ");
  }
  std::string inf = "[Install]\r\nTitle=" + std::string(kTitle) +
                    "\r\nFolder=ItShortcuts\r\n1=NOTES.EXE\r\n";
  if (!groupItems.empty()) inf += "[Group]\r\n";
  for (size_t i = 0; i < groupItems.size(); ++i) {
    inf += std::to_string(i + 1) + "=" + groupItems[i] + "\r\n";
  }
  WriteFileBytes(scratch() + "SETUP.INF", inf);
  SetupState& s = State();
  strcpy(s.sourceDir, scratch().c_str());
  strcpy(s.setupExeName, "SETUP.EXE");
  strcpy(s.infFileName, "SETUP.INF");
  strcpy(s.infPath, (scratch() + "SETUP.INF").c_str());
  ASSERT_EQ(LoadSetupDescription(), 1);
  ASSERT_EQ(s.groupItemCount, static_cast<int>(groupItems.size()));
  strcpy(s.installDir, installDir_.c_str());
  s.newShell = 1;
}

std::string ShortcutIntegrationTest::ShellFolder(const char* name) {
  char value[MAX_PATH] = "";
  DWORD size = sizeof value;
  HKEY key;
  if (RegOpenKeyExA(HKEY_CURRENT_USER,
                    "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders", 0,
                    KEY_READ, &key) != ERROR_SUCCESS) {
    return std::string();
  }
  if (RegQueryValueExA(key, name, nullptr, nullptr, reinterpret_cast<BYTE*>(value), &size) !=
      ERROR_SUCCESS) {
    value[0] = '\0';
  }
  RegCloseKey(key);
  return value;
}

std::string ShortcutIntegrationTest::ShortPath(const std::string& path) {
  char buffer[MAX_PATH];
  const DWORD length = GetShortPathNameA(path.c_str(), buffer, MAX_PATH);
  EXPECT_GT(length, 0u) << path;
  return length > 0 && length < MAX_PATH ? std::string(buffer, length) : path;
}

bool ShortcutIntegrationTest::Exists(const std::string& path) {
  return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

int ShortcutIntegrationTest::CloseFolderWindows(const char* title, int appearSeconds) {
  const DWORD start = GetTickCount();
  std::vector<HWND> windows = FolderWindows(title);
  while (windows.empty() && GetTickCount() - start < static_cast<DWORD>(appearSeconds) * 1000) {
    Pump(100);
    windows = FolderWindows(title);
  }
  for (HWND window : windows) PostMessageA(window, WM_CLOSE, 0, 0);
  const DWORD closing = GetTickCount();
  while (!FolderWindows(title).empty() && GetTickCount() - closing < 15000) Pump(100);
  EXPECT_TRUE(FolderWindows(title).empty()) << "a folder window stayed open";
  return static_cast<int>(windows.size());
}

}  // namespace setup
