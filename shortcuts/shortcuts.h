// The product's shortcuts: shell links on the new shell, Program Manager
// groups and items over DDE on the old one.
#ifndef SETUP_SHORTCUTS_SHORTCUTS_H_
#define SETUP_SHORTCUTS_SHORTCUTS_H_

namespace setup {

// Names of the per-user Shell Folders values, indexed by ShortcutKind:
// "Programs", "Desktop", "Startup".
extern const char* const shellFolderValueNames[3];

// Creates (remove 0) or removes (any other value) the shortcuts of one
// ShortcutKind (kShortcutPrograms, kShortcutDesktop, kShortcutStartup).
// Reports nothing itself; only the group folder's creation can show a
// message (through CreateFolderLevel).
//
// On the old shell (newShell 0) the request goes unchanged to
// UpdateProgmanGroup. On the new shell the kind's folder comes from the
// Shell Folders value of the current user; Programs with [Group] items is a
// folder named productTitle holding one link per item, every other case one
// link named productTitle for [Install] entry 1. Removal deletes that link,
// or every file of that folder and then the folder.
//
// Nothing is made or deleted from a path that is not whole: when the Shell
// Folders value is missing, empty or longer than the 260-byte path, or a
// link's path does not fit, or an entry's target did not fit (empty
// entryTarget), that link (or the whole call) is left out silently. Nor does
// anything happen outside the kind's folder: a productTitle or caption that
// is not one plain file name (it holds a separator or another character a
// file name may not hold, or is "." or "..") makes or deletes nothing.
// Overwrites entrySource and entryTarget.
void UpdateShortcuts(int kind, int remove);

}  // namespace setup

#endif  // SETUP_SHORTCUTS_SHORTCUTS_H_
