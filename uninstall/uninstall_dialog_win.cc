#include "uninstall/uninstall_dialog_win.h"

#include "resources/resource_ids.h"
#include "startup/center_window_win.h"
#include "startup/setup_state.h"
#include "uninstall/removal.h"
#include "uninstall/uninstall_run.h"

namespace setup {
namespace {

constexpr UINT_PTR kRemovalTimer = 1;
constexpr UINT kRemovalDelayMs = 300;

}  // namespace

INT_PTR CALLBACK UninstallDialogProc(HWND dialog, UINT message, WPARAM wParam,
                                     LPARAM) {
  char text[kUninstallTextSize];
  switch (message) {
    case WM_INITDIALOG:
      State().messageOwner = dialog;
      CenterWindow(dialog);
      SetTimer(dialog, kRemovalTimer, kRemovalDelayMs, nullptr);
      ComposeUninstallCaption(text);
      SetWindowTextA(dialog, text);
      return FALSE;  // no focus to set: the only button is still disabled
    case WM_TIMER: {
      // Killed first, so that the removal runs once even while its message
      // boxes run their own message loops.
      KillTimer(dialog, kRemovalTimer);
      SetForegroundWindow(dialog);
      ComposeOutcomeText(UninstallAll(), text);
      SetDlgItemTextA(dialog, IDC_UNINSTALL_STATUS, text);
      HWND finish = GetDlgItem(dialog, IDCANCEL);
      EnableWindow(finish, TRUE);
      SetFocus(finish);
      SetForegroundWindow(dialog);
      return FALSE;
    }
    case WM_COMMAND:
      if (LOWORD(wParam) == IDCANCEL) EndDialog(dialog, 1);
      return FALSE;
    default:
      return FALSE;
  }
}

void RunUninstall() {
  PrepareUninstallRun();
  DialogBoxParamA(static_cast<HINSTANCE>(State().appInstance),
                  MAKEINTRESOURCEA(IDD_UNINSTALL), nullptr, UninstallDialogProc, 0);
  ScheduleOwnDeletion();
}

}  // namespace setup
