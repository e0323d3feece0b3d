// The two questions of the options page: a Start-menu registration and a
// desktop shortcut.
#ifndef SETUP_WIZARD_SHORTCUT_OPTIONS_H_
#define SETUP_WIZARD_SHORTCUT_OPTIONS_H_

namespace setup {

// How the page's check boxes start.
struct ShortcutOptionDefaults {
  int startMenuChecked;  // box 1006
  int desktopChecked;    // box 1005
  int desktopEnabled;    // box 1005 can be changed (the new shell only)
};

// Start menu checked; desktop unchecked, and disabled on the old shell,
// which has no desktop shortcuts.
ShortcutOptionDefaults GetShortcutOptionDefaults();

// Stores the boxes as read at Next into wantStartMenu and wantDesktop (each
// 1 when checked, else 0). The desktop answer is 0 on the old shell whatever
// the box says.
void StoreShortcutOptions(int startMenuChecked, int desktopChecked);

}  // namespace setup

#endif  // SETUP_WIZARD_SHORTCUT_OPTIONS_H_
