// The uninstall run ("x <path>"): the removal behind a small dialog.
#ifndef SETUP_UNINSTALL_UNINSTALL_DIALOG_WIN_H_
#define SETUP_UNINSTALL_UNINSTALL_DIALOG_WIN_H_

#include <windows.h>

namespace setup {

// Shows dialog 101 (no owner) for the product at sourceDir, which becomes
// installDir; the removal runs at the dialog's first timer tick. When the
// dialog has closed, however that happened, the running program's own file
// is scheduled for deletion at the next restart.
void RunUninstall();

// Dialog procedure of template 101. WM_INITDIALOG: messageOwner := the
// dialog, centred, one-shot timer 1 of 300 ms, caption "<Title>の削除".
// WM_TIMER: kills timer 1 before anything else, brings the dialog to the
// front, runs UninstallAll, shows the outcome in control 1010, enables and
// focuses button 2 and brings the dialog to the front again. WM_COMMAND 2
// ends the dialog with 1. Returns FALSE for every message.
INT_PTR CALLBACK UninstallDialogProc(HWND dialog, UINT message, WPARAM wParam,
                                     LPARAM lParam);

}  // namespace setup

#endif  // SETUP_UNINSTALL_UNINSTALL_DIALOG_WIN_H_
