// The uninstall run ("x <path>"): the removal behind a small dialog.
#ifndef SETUP_UNINSTALL_UNINSTALL_DIALOG_WIN_H_
#define SETUP_UNINSTALL_UNINSTALL_DIALOG_WIN_H_

namespace setup {

void RunUninstall();

}  // namespace setup

#endif  // SETUP_UNINSTALL_UNINSTALL_DIALOG_WIN_H_
