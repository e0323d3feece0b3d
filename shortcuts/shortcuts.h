// The product's shortcuts: shell links on the new shell, Program Manager
// groups and items over DDE on the old one.
#ifndef SETUP_SHORTCUTS_SHORTCUTS_H_
#define SETUP_SHORTCUTS_SHORTCUTS_H_

namespace setup {

// Creates (remove 0) or removes (any other value) the shortcuts of one
// ShortcutKind (kShortcutPrograms, kShortcutDesktop, kShortcutStartup).
// Reports nothing itself; only the group folder's creation can show a
// message (through CreateFolderLevel).
void UpdateShortcuts(int kind, int remove);

}  // namespace setup

#endif  // SETUP_SHORTCUTS_SHORTCUTS_H_
