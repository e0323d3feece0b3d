// SetupState: the one process-wide record of the setup program. Every field
// starts as zero or the empty text; every operation reads and writes the
// fields directly. Text fields are NUL-terminated byte strings in the ANSI
// code page; a folder path in them ends with a backslash.
#ifndef SETUP_STARTUP_SETUP_STATE_H_
#define SETUP_STARTUP_SETUP_STATE_H_

#include "platform/platform.h"

namespace setup {

constexpr unsigned kPathSize = 260;   // MAX_PATH
constexpr unsigned kNameSize = 56;    // a file name of up to 55 bytes
constexpr unsigned kTitleSize = 100;  // Title and Folder values
constexpr unsigned kKeyNameSize = 32;

// ShortcutKind values.
constexpr int kShortcutPrograms = 0;
constexpr int kShortcutDesktop = 1;
constexpr int kShortcutStartup = 2;

struct SetupState {
  InstanceHandle appInstance;
  int newShell;                  // 1: shell links; 0: Program Manager
  char modulePath[kPathSize];    // the running executable
  char sourceDir[kPathSize];     // folder of the setup program, with backslash
  char setupExeName[kNameSize];  // file name of the setup program
  char infFileName[kNameSize];   // file name of the setup description
  char infPath[kPathSize];       // sourceDir + infFileName
  char productTitle[kTitleSize];
  char productFolder[kTitleSize];
  int residentProgram;
  char installDir[kPathSize];
  int installEntryCount;
  int groupItemCount;
  char entrySource[kPathSize];   // scratch of the entry resolved last
  char entryTarget[kPathSize];
  char* entryTargetTail;         // position in entryTarget after installDir
  char keyNameBuffer[kKeyNameSize];
  WindowHandle wizardWindow;
  WindowHandle messageOwner;
  int wantStartMenu;
  int wantDesktop;
  int installStep;
  uint32_t ddeInstance;
  void* progmanConversation;
};

// The process's state record. It lives for the whole process.
SetupState& State();

// Sets every field back to zero (for tests that run several "processes").
void ResetState();

}  // namespace setup

#endif  // SETUP_STARTUP_SETUP_STATE_H_
