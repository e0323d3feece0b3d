#include "startup/entry.h"

#include <string.h>

#include "startup/setup_description.h"
#include "startup/setup_state.h"

namespace setup {

Mode SelectMode(const char* commandLine, const char** namesPath) {
  const char* p = commandLine;
  if (*p == '/') ++p;  // exactly one slash is skipped
  *namesPath = nullptr;
  if (*p == 'R' || *p == 'r') return kModeHandOff;
  if (*p == 'x') {
    // The character after the x is skipped whatever it is; the rest of the
    // line is the path, taken verbatim.
    const char* path = p + 1;
    if (*path != '\0') ++path;
    *namesPath = path;
    return kModeUninstallRun;
  }
  return kModeInstallWizard;
}

int DeriveNames(const char* path) {
  const size_t length = strlen(path);
  if (length >= kPathSize) return 0;
  const char* lastBackslash = strrchr(path, '\\');  // byte by byte, on purpose
  if (lastBackslash == nullptr) return 0;
  const char* name = lastBackslash + 1;
  const size_t nameLength = strlen(name);
  if (nameLength < 3 || nameLength >= kNameSize) return 0;

  SetupState& s = State();
  const size_t folderLength = static_cast<size_t>(name - path);
  memcpy(s.sourceDir, path, folderLength);
  s.sourceDir[folderLength] = '\0';
  memcpy(s.setupExeName, name, nameLength + 1);
  memcpy(s.infFileName, name, nameLength + 1);
  memcpy(s.infFileName + nameLength - 3, "INF", 3);
  memcpy(s.infPath, s.sourceDir, folderLength);
  memcpy(s.infPath + folderLength, s.infFileName, nameLength + 1);
  return 1;
}

int RunSetup(InstanceHandle instance, const char* commandLine,
             const ModeHandlers& modes) {
  SetupState& s = State();
  s.appInstance = instance;
  s.newShell = (Sys().GetVersion() & 0xFF) >= 4 ? 1 : 0;
  Sys().GetModuleFileNameA(instance, s.modulePath, kPathSize);

  const char* namesPath = nullptr;
  const Mode mode = SelectMode(commandLine, &namesPath);
  if (!DeriveNames(namesPath != nullptr ? namesPath : s.modulePath)) {
    ReportBadSetupDescription();
    return 1;
  }
  if (!LoadSetupDescription()) return 1;

  switch (mode) {
    case kModeHandOff:
      modes.handOffUninstall();
      break;
    case kModeUninstallRun:
      modes.runUninstall();
      break;
    case kModeInstallWizard:
      modes.runInstallWizard();
      break;
  }
  return 1;
}

}  // namespace setup
