// Dialog 103: the copy page, which runs the install sequence one step per
// posted message so that the sheet repaints and Cancel is served between
// files.
#include <windows.h>
#include <commctrl.h>
#include <prsht.h>

#include "resources/resource_ids.h"
#include "startup/setup_state.h"
#include "wizard/install_sequence.h"
#include "wizard/wizard_pages_win.h"

namespace setup {
namespace {

constexpr UINT_PTR kInstallTimer = 1;
constexpr UINT kInstallDelayMs = 300;
constexpr WPARAM kStepCommand = 1;

HWND Page() { return static_cast<HWND>(State().messageOwner); }

// The copy page's controls and messages as the install sequence uses them.
class Win32CopyPage final : public CopyPageView {
 public:
  void SetProgressRange(uint16_t maximum) override {
    SendDlgItemMessageA(Page(), IDC_PROGRESS, PBM_SETRANGE, 0, MAKELPARAM(0, maximum));
  }
  void AdvanceProgress() override {
    SendDlgItemMessageA(Page(), IDC_PROGRESS, PBM_DELTAPOS, 1, 0);
  }
  void HideProgress() override { ShowWindow(GetDlgItem(Page(), IDC_PROGRESS), SW_HIDE); }
  void SetStatusText(const char* text) override {
    SetDlgItemTextA(Page(), IDC_COPY_STATUS, text);
  }
  void ShowRemoveHint() override { ShowWindow(GetDlgItem(Page(), IDC_REMOVE_HINT), SW_SHOW); }
  void PostNextStep() override { PostMessageA(Page(), WM_COMMAND, kStepCommand, 0); }
  void PostFinishButton() override {
    PostMessageA(static_cast<HWND>(State().wizardWindow), PSM_SETWIZBUTTONS, 0,
                 PSWIZB_FINISH);
  }
};

Win32CopyPage copyPage;

}  // namespace

INT_PTR CALLBACK CopyPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG:
      State().messageOwner = page;
      return TRUE;
    case kRestoreCaptionMessage:
      SetWizardCaption();
      return TRUE;
    case WM_TIMER:
      KillTimer(page, kInstallTimer);
      PostMessageA(page, WM_COMMAND, kStepCommand, 0);
      return FALSE;
    case WM_COMMAND:
      if (wParam == kStepCommand) RunInstallStep(copyPage);
      return FALSE;
    case WM_NOTIFY:
      switch (NotifyCode(lParam)) {
        case PSN_SETACTIVE:
          SendMessageA(static_cast<HWND>(State().wizardWindow), PSM_SETWIZBUTTONS, 0, 0);
          KeepWizardCaption(page);
          SetTimer(page, kInstallTimer, kInstallDelayMs, nullptr);
          return FALSE;
        case PSN_WIZFINISH:
          StartInstalledProgram(page);
          return FALSE;
      }
      return FALSE;
  }
  return FALSE;
}

}  // namespace setup
