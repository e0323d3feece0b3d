// The start of every run: records the instance and the kind of shell, works
// out where the setup program and its setup description lie, loads the
// description and runs exactly one mode chosen by the command line.
#ifndef SETUP_STARTUP_ENTRY_H_
#define SETUP_STARTUP_ENTRY_H_

#include "platform/platform.h"

namespace setup {

enum Mode {
  kModeInstallWizard,  // anything else, the empty line included
  kModeHandOff,        // "R" or "r" after one optional "/"
  kModeUninstallRun,   // "x" after one optional "/", then one character, then a path
};

// The three modes; each runs to its end and returns.
struct ModeHandlers {
  void (*runInstallWizard)();
  void (*handOffUninstall)();
  void (*runUninstall)();
};

// Chooses the mode from the first character after one optional "/". For the
// uninstall run `*namesPath` points at the command line from the second
// character after the "x" (or at its end when the line is shorter); for the
// other modes it is nullptr (the names come from modulePath).
Mode SelectMode(const char* commandLine, const char** namesPath);

// Fills sourceDir, setupExeName, infFileName and infPath from `path` (the cut
// at the last byte 0x5C goes byte by byte). Returns 0 and changes nothing
// when the path has no backslash, is longer than 259 bytes, or its file-name
// part is shorter than 3 or longer than 55 bytes.
int DeriveNames(const char* path);

// The whole start: appInstance, newShell, modulePath, the names, the setup
// description, then the chosen mode. A path out of limits is refused with the
// message of a bad setup description. Always returns 1, the exit code.
int RunSetup(InstanceHandle instance, const char* commandLine,
             const ModeHandlers& modes);

}  // namespace setup

#endif  // SETUP_STARTUP_ENTRY_H_
