// SETUP.EXE's entry point: hands the process to RunSetup with the real
// platform and the three modes.
#include <windows.h>

#include "platform/win32_platform.h"
#include "startup/entry.h"
#include "uninstall/hand_off.h"
#include "uninstall/uninstall_dialog_win.h"
#include "wizard/install_wizard_win.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int) {
  static setup::Win32Platform platform;
  setup::SetPlatform(&platform);
  const setup::ModeHandlers modes = {setup::RunInstallWizard, setup::HandOffUninstall,
                                     setup::RunUninstall};
  return setup::RunSetup(instance, commandLine, modes);
}
