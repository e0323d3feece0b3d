// The uninstall hand-off ("/r"): confirms, copies the running setup program
// into the system directory and starts the copy in the uninstall run.
#ifndef SETUP_UNINSTALL_HAND_OFF_H_
#define SETUP_UNINSTALL_HAND_OFF_H_

namespace setup {

// Asks "<productTitle>を削除します。" (plus the sentence about quitting a
// resident program when residentProgram is set; caption productTitle, OK and
// Cancel, no owner). Anything but OK ends it with nothing copied or started.
// Otherwise copies modulePath to the system directory under setupExeName
// (overwriting), makes the system directory current and starts
// "\"<copy>\" x <modulePath>": the copy's path is quoted so that blanks in it
// cannot make the platform start another program; the path after " x " goes
// unquoted, since the copy takes the rest of its command line verbatim.
// Reports a failed start (no owner, no caption, error icon). Never waits for
// the copy.
void HandOffUninstall();

}  // namespace setup

#endif  // SETUP_UNINSTALL_HAND_OFF_H_
