// Making sure that folders exist, with a message box telling the user why a
// folder cannot be made. Paths are folder paths with a closing backslash
// that is a character of its own, in writable buffers of up to 260 bytes.
// Messages are owned by messageOwner, carry no caption and the error icon.
#ifndef SETUP_WIZARD_FOLDER_CREATION_H_
#define SETUP_WIZARD_FOLDER_CREATION_H_

namespace setup {

// 1 when the folder named by `path` exists afterwards (it existed, it was
// created, or `path` is a drive root such as C:\, which is not touched);
// 0 after a message: a file bears the folder's name, or CreateDirectoryA
// failed. A name holding a wildcard (* or ?) is never taken for an existing
// folder. The text of `path` is the same after the call as before.
int CreateFolderLevel(char* path);

// Creates every missing level of `path` from the drive down (a path without
// a drive is one level). Returns 0 at the first level that fails, after its
// message, without trying deeper levels; 1 when all exist. The text of
// `path` is the same afterwards, whether it succeeded or not.
int CreateFolderPath(char* path);

}  // namespace setup

#endif  // SETUP_WIZARD_FOLDER_CREATION_H_
