// Removing a folder with everything in it, asking the user about each file
// that the setup description does not account for.
#ifndef SETUP_UNINSTALL_FOLDER_TREE_H_
#define SETUP_UNINSTALL_FOLDER_TREE_H_

namespace setup {

// Removes `folder` (a path ending with a backslash, at most 259 bytes) and
// all it holds. Files whose name after its first full stop is "gid" (any
// case) are deleted without a question; every other file is asked about
// ("<path> - このファイルを削除してもいいですか？", caption productTitle,
// Yes/No/Cancel, owner messageOwner). Subfolders are removed the same way as
// they are met. Returns 1 when nothing of the folder is left (or it never
// existed); 0 when anything stays. Cancel, or a 0 from a subfolder, ends the
// walk of every level at once, without removing a folder or showing further
// messages. A folder that stays is reported
// ("<folder> - ディレクトリの削除に失敗しました").
// A root (a drive, a share, or a path naming no folder below one, such as
// C:\.\) is never walked: it returns 0 and nothing is touched. An entry whose
// full path does not fit 260 bytes counts as a file whose deletion failed.
int RemoveFolderTree(const char* folder);

}  // namespace setup

#endif  // SETUP_UNINSTALL_FOLDER_TREE_H_
