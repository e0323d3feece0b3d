// SETUP.EXE's entry point: hands the process to RunSetup with the real
// platform and the three modes.
#include <windows.h>

#include "platform/win32_platform.h"
#include "startup/entry.h"
#include "uninstall/hand_off.h"
#include "uninstall/uninstall_dialog_win.h"
#include "wizard/install_wizard_win.h"

namespace {
// Constant-initialised: no start-up code runs for it.
setup::Win32Platform g_platform;
}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int) {
  setup::SetPlatform(&g_platform);
  const setup::ModeHandlers modes = {setup::RunInstallWizard, setup::HandOffUninstall,
                                     setup::RunUninstall};
  return setup::RunSetup(instance, commandLine, modes);
}
