#include "wizard/shortcut_options.h"

#include "startup/setup_state.h"

namespace setup {

ShortcutOptionDefaults GetShortcutOptionDefaults() {
  ShortcutOptionDefaults defaults;
  defaults.startMenuChecked = 1;
  defaults.desktopChecked = 0;
  defaults.desktopEnabled = State().newShell ? 1 : 0;
  return defaults;
}

void StoreShortcutOptions(int startMenuChecked, int desktopChecked) {
  SetupState& s = State();
  s.wantStartMenu = startMenuChecked ? 1 : 0;
  s.wantDesktop = (desktopChecked && s.newShell) ? 1 : 0;
}

}  // namespace setup
