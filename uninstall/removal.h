// The removal of an installed product: its [Reg] keys, its installed files
// from the last [Install] entry down to the setup program, what is left of
// the install folder, its Uninstall key and its shortcuts.
#ifndef SETUP_UNINSTALL_REMOVAL_H_
#define SETUP_UNINSTALL_REMOVAL_H_

#include "platform/platform.h"

namespace setup {

// Removes the product described by the setup description at infPath from
// installDir. Returns 1 when everything is gone; 0 when anything was left,
// a question was answered No or Cancel, or a removal failed (each reported
// by its own message box, owned by messageOwner). When the file of [Install]
// entry 1 cannot be deleted it reports that a second time and returns 0 at
// once, leaving entries 0 and -1, the folder, the Uninstall key and the
// shortcuts in place, so that the registered uninstall command can run
// again. A [Reg] value whose root is not HKEY_CURRENT_USER,
// HKEY_LOCAL_MACHINE or HKEY_CLASSES_ROOT (case-sensitive), or that names no
// key below its root, is reported and skipped; a root key itself is never
// emptied. An entry whose target path does not fit 260 bytes was never
// installed and is passed over.
int UninstallAll();

// Deletes the file at `path`. Returns 1 when the file is gone afterwards
// (deleted, or not there); 0 after reporting "<path>の削除に失敗しました。..."
// (owner messageOwner, no caption, error icon).
int RemoveFile(const char* path);

// Shows RemoveFile's failure message for the file named by `path` followed
// by `tail` (each at most 259 bytes; `tail` may be empty).
void ReportRemoveFailed(const char* path, const char* tail);

// Deletes the key `keyPath` below `parent` with every key below it, as far
// as it can, silently. A subkey that resists is stepped over (it and its
// parents stay), so the walk always ends. `keyPath` must name a key below
// `parent`: an empty path would empty `parent` itself.
void DeleteRegistryTree(KeyHandle parent, const char* keyPath);

}  // namespace setup

#endif  // SETUP_UNINSTALL_REMOVAL_H_
