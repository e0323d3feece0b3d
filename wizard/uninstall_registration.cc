#include "wizard/uninstall_registration.h"

#include <string.h>

#include "platform/platform.h"
#include "startup/setup_description.h"
#include "startup/setup_state.h"

namespace setup {

const char kUninstallCommandSuffix[] = "\" /r";

void RegisterUninstall() {
  const SetupState& s = State();
  char keyPath[kPathSize];
  strcpy(keyPath, kUninstallKeyPrefix);
  strcat(keyPath, s.productFolder);  // at most 52 + 99 bytes
  KeyHandle key = 0;
  if (Sys().RegCreateKeyExA(kHkeyLocalMachine, keyPath, kKeyWrite, &key) !=
      kErrorSuccess) {
    return;
  }
  Sys().RegSetValueExA(key, "DisplayName", kRegSz, s.productTitle,
                       static_cast<uint32_t>(strlen(s.productTitle) + 1));
  // A quote, the longest installDir and setupExeName, the suffix and the NUL.
  char command[1 + (kPathSize - 1) + (kNameSize - 1) + sizeof kUninstallCommandSuffix];
  command[0] = '"';
  strcpy(command + 1, s.installDir);
  strcat(command, s.setupExeName);
  strcat(command, kUninstallCommandSuffix);
  Sys().RegSetValueExA(key, "UninstallString", kRegSz, command,
                       static_cast<uint32_t>(strlen(command) + 1));
  Sys().RegCloseKey(key);
}

}  // namespace setup
