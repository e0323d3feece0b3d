// Dialog 107: the shortcut options.
#include <windows.h>
#include <commctrl.h>
#include <prsht.h>

#include "resources/resource_ids.h"
#include "startup/setup_state.h"
#include "wizard/shortcut_options.h"
#include "wizard/wizard_pages_win.h"

namespace setup {

INT_PTR CALLBACK OptionsPageProc(HWND page, UINT message, WPARAM, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG: {
      const ShortcutOptionDefaults defaults = GetShortcutOptionDefaults();
      CheckDlgButton(page, IDC_WANT_START_MENU,
                     defaults.startMenuChecked ? BST_CHECKED : BST_UNCHECKED);
      CheckDlgButton(page, IDC_WANT_DESKTOP,
                     defaults.desktopChecked ? BST_CHECKED : BST_UNCHECKED);
      if (!defaults.desktopEnabled) {
        EnableWindow(GetDlgItem(page, IDC_WANT_DESKTOP), FALSE);
      }
      return TRUE;
    }
    case kRestoreCaptionMessage:
      SetWizardCaption();
      return TRUE;
    case WM_NOTIFY:
      switch (NotifyCode(lParam)) {
        case PSN_SETACTIVE:
          SendMessageA(static_cast<HWND>(State().wizardWindow), PSM_SETWIZBUTTONS, 0,
                       PSWIZB_NEXT);
          KeepWizardCaption(page);
          return FALSE;
        case PSN_WIZNEXT:
          StoreShortcutOptions(
              IsDlgButtonChecked(page, IDC_WANT_START_MENU) == BST_CHECKED,
              IsDlgButtonChecked(page, IDC_WANT_DESKTOP) == BST_CHECKED);
          return FALSE;
      }
      return FALSE;
  }
  return FALSE;
}

}  // namespace setup
