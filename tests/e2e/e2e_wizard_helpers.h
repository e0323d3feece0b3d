// What the wizard and install end-to-end tests share: recognising the three
// pages, waiting for them, reading the wizard's buttons and caption, the
// copy page's progress bar, small drives and the expected texts.
#ifndef SETUP_TESTS_E2E_E2E_WIZARD_HELPERS_H_
#define SETUP_TESTS_E2E_E2E_WIZARD_HELPERS_H_

#include <windows.h>
#include <commctrl.h>
#include <shlobj.h>

#include <stdlib.h>

#include <string>
#include <vector>

#include "tests/common/file_bytes.h"
#include "tests/e2e/e2e_fixture.h"

namespace e2e {

// The pages by dialog id, and their controls.
constexpr int kDestinationPage = 100;
constexpr int kCopyPage = 103;
constexpr int kOptionsPage = 107;
constexpr int kPromptText = 1000;
constexpr int kFolderField = 1001;
constexpr int kBrowseButton = 1002;
constexpr int kProgressBar = 1003;
constexpr int kDesktopBox = 1005;
constexpr int kStartMenuBox = 1006;
constexpr int kCopyStatus = 1008;
constexpr int kRemoveHint = 1012;

inline std::string CaptionOf(const std::string& title) {
  return title + "のインストール";
}

// The dialog id of a page, told by the control that only it has; 0 when
// unknown.
inline int PageId(HWND page) {
  if (!page) return 0;
  if (GetDlgItem(page, kFolderField)) return kDestinationPage;
  if (GetDlgItem(page, kStartMenuBox)) return kOptionsPage;
  if (GetDlgItem(page, kProgressBar)) return kCopyPage;
  return 0;
}

// Waits until the wizard shows the page `id`; returns it or null.
inline HWND WaitForPage(HWND wizard, int id, int timeout_ms = kWindowTimeoutMs) {
  HWND page = nullptr;
  uidriver::PollUntil(timeout_ms, [&] {
    page = uidriver::CurrentPage(wizard);
    return PageId(page) == id && IsWindowVisible(page);
  });
  return PageId(page) == id ? page : nullptr;
}

// A wizard button as the user meets it: visible and enabled. (A message to a
// disabled button would still reach it, so this is read, never assumed.)
inline bool ButtonUsable(HWND wizard, int id) {
  HWND button = GetDlgItem(wizard, id);
  return button && IsWindowVisible(button) && IsWindowEnabled(button);
}

// Waits until button `id` can be pressed, then presses it.
inline ::testing::AssertionResult PressWhenUsable(HWND wizard, int id,
                                                  int timeout_ms = kWindowTimeoutMs) {
  if (!uidriver::PollUntil(timeout_ms, [&] { return ButtonUsable(wizard, id); })) {
    return ::testing::AssertionFailure() << "button " << id << " never became usable";
  }
  std::string error;
  if (!uidriver::PressWizardButton(wizard, id, &error)) {
    return ::testing::AssertionFailure() << error;
  }
  return ::testing::AssertionSuccess();
}

// Waits until the frame's caption reads `expected`.
inline ::testing::AssertionResult CaptionBecomes(HWND wizard, const std::string& expected,
                                                 int timeout_ms = 5000) {
  std::string shown;
  if (uidriver::PollUntil(timeout_ms, [&] {
        shown = uidriver::WindowText(wizard);
        return shown == expected;
      })) {
    return ::testing::AssertionSuccess();
  }
  return ::testing::AssertionFailure()
         << "caption \"" << uidriver::ToUtf8(shown) << "\", expected \""
         << uidriver::ToUtf8(expected) << "\"";
}

inline std::string ControlText(HWND page, int id) {
  return uidriver::WindowText(GetDlgItem(page, id));
}

inline bool IsChecked(HWND page, int id) {
  return SendMessageA(GetDlgItem(page, id), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

// The progress bar's range and position, read from outside the program.
struct ProgressState {
  int low = -1;
  int high = -1;
  int position = -1;
  bool visible = false;
};

inline ProgressState ReadProgress(HWND copy_page) {
  ProgressState state;
  HWND bar = GetDlgItem(copy_page, kProgressBar);
  if (!bar) return state;
  state.low = static_cast<int>(SendMessageA(bar, PBM_GETRANGE, TRUE, 0));
  state.high = static_cast<int>(SendMessageA(bar, PBM_GETRANGE, FALSE, 0));
  state.position = static_cast<int>(SendMessageA(bar, PBM_GETPOS, 0, 0));
  state.visible = IsWindowVisible(bar) != 0;
  return state;
}

// The drive letter ("T:") of a small drive prepared for the test run (a
// Wine drive letter mapped to a small tmpfs), from E2E_SMALL_DRIVE; empty
// when the run has none.
inline std::string SmallDrive() {
  const char* drive = getenv("E2E_SMALL_DRIVE");
  return drive && drive[0] && drive[1] == ':' ? std::string(drive, 2) : std::string();
}

// The low-space figure for `root` as the destination page computes it: a
// tenth of the free bytes (free clusters divided first) / 102 / 1024.
inline unsigned LowSpaceFigure(const std::string& root) {
  DWORD sectors = 0, bytes = 0, free_clusters = 0, total = 0;
  if (!GetDiskFreeSpaceA(root.c_str(), &sectors, &bytes, &free_clusters, &total)) return 0;
  unsigned long long tenths =
      static_cast<unsigned long long>(free_clusters / 10) * bytes * sectors;
  return static_cast<unsigned>(tenths / 102 / 1024);
}

inline std::string LowSpaceText(unsigned figure) {
  return "指定されたドライブの残り容量が " + std::to_string(figure) +
         "メガバイトしかありません。かまわずにインストールしますか？";
}

// The messages of the wizard.
inline const char* RootDirectoryText() {
  return "ルートディレクトリにはインストールできません。";
}
inline const char* NeedDrivePathText() {
  return "「C:\\Soft」のように、ドライブ名も含めた正しいパス名を指定してください。";
}
inline const char* InstallCompleteText() {
  return "インストールが完了しました。「完了」を押すと起動します。";
}
inline const char* RemoveHintText() {
  return "このソフトを削除するにはコントロールパネルの「アプリケーションの追加と削除」"
         "を使ってください。";
}

// The file's bytes; empty when it cannot be read.
using file_bytes::ReadFileBytes;

// A string value of the registry; `found` false when it is missing.
inline std::string RegistryString(HKEY root, const std::string& key_path,
                                  const char* name, bool* found = nullptr) {
  if (found) *found = false;
  HKEY key;
  if (RegOpenKeyExA(root, key_path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return "";
  char value[1024];
  DWORD size = sizeof value;
  DWORD type = 0;
  LONG result = RegQueryValueExA(key, name, nullptr, &type,
                                 reinterpret_cast<BYTE*>(value), &size);
  RegCloseKey(key);
  if (result != ERROR_SUCCESS || type != REG_SZ) return "";
  if (found) *found = true;
  return std::string(value, size > 0 && value[size - 1] == '\0' ? size - 1 : size);
}

// The fixture of the wizard and install tests.
class WizardFlowTest : public SetupTest {
 protected:
  // Once Cancel or Finish was pressed: waits until the frame is gone, then
  // for the end of SETUP.EXE without a further window; returns its exit code.
  DWORD WaitForWizardToEnd(HWND wizard) {
    uidriver::PollUntil(kExitTimeoutMs,
                        [&] { return !IsWindow(wizard) || !IsWindowVisible(wizard); });
    return WaitForExitWithoutWindow();
  }
};

}  // namespace e2e

#endif  // SETUP_TESTS_E2E_E2E_WIZARD_HELPERS_H_
