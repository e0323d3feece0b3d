// The uninstall hand-off ("/r"): confirms, copies the running setup program
// into the system directory and starts the copy in the uninstall run.
#ifndef SETUP_UNINSTALL_HAND_OFF_H_
#define SETUP_UNINSTALL_HAND_OFF_H_

namespace setup {

void HandOffUninstall();

}  // namespace setup

#endif  // SETUP_UNINSTALL_HAND_OFF_H_
