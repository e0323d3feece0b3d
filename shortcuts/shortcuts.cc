#include "shortcuts/shortcuts.h"

#include <string.h>

#include "platform/platform.h"
#include "shortcuts/progman.h"
#include "startup/setup_description.h"
#include "startup/setup_state.h"
#include "startup/text_helpers.h"
#include "wizard/folder_creation.h"

namespace setup {

const char* const shellFolderValueNames[3] = {"Programs", "Desktop", "Startup"};

namespace {

const char kShellFoldersKey[] =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
const char kLinkExtension[] = ".lnk";

// 1 when `name` can stand as one file or folder name inside a shell folder:
// not empty, none of the characters that file names may not hold (among
// them the separators \ and /), and not made of dots and blanks only (".",
// ".." and the like would name the shell folder itself or one above it, and
// the removal would then empty that folder).
int IsPlainName(const char* name) {
  for (const char* c = "\\/:*?\"<>|"; *c != '\0'; ++c) {
    if (FindCharMb(name, *c) != nullptr) return 0;
  }
  for (const char* c = name; *c != '\0'; ++c) {
    if (*c != '.' && *c != ' ') return 1;
  }
  return 0;
}

// path := the folder that the kind's Shell Folders value names. Returns 0
// when there is none to work in: the key or value is missing or unreadable,
// the value is empty, or it does not end within kPathSize bytes.
int ReadShellFolder(int kind, char* path) {
  if (kind < kShortcutPrograms || kind > kShortcutStartup) return 0;
  KeyHandle key = 0;
  if (Sys().RegOpenKeyExA(kHkeyCurrentUser, kShellFoldersKey, kKeyRead, &key) !=
      kErrorSuccess) {
    return 0;
  }
  uint32_t type = 0;
  uint32_t size = kPathSize;
  const long result =
      Sys().RegQueryValueExA(key, shellFolderValueNames[kind], &type, path, &size);
  Sys().RegCloseKey(key);
  if (result != kErrorSuccess || size == 0 || size > kPathSize) return 0;
  if (memchr(path, '\0', size) == nullptr) {  // stored without its NUL
    if (size == kPathSize) return 0;
    path[size] = '\0';
  }
  return path[0] != '\0' ? 1 : 0;
}

// Deletes every file in the folder `path` names (no closing backslash) and
// then the folder. Sub-folders are left alone and keep the folder in place;
// a name that would not fit the path is not touched.
void RemoveGroupFolder(char* path) {
  char* folderEnd = path + strlen(path);
  if (!AppendText(path, kPathSize, "\\*.*")) return;
  FindData found;
  FindHandle find = Sys().FindFirstFileA(path, &found);
  if (find != nullptr) {
    do {
      folderEnd[1] = '\0';  // back to the folder and its backslash
      if ((found.attributes & kFileAttributeDirectory) == 0 &&
          AppendText(path, kPathSize, found.name)) {
        Sys().DeleteFileA(path);
      }
    } while (Sys().FindNextFileA(find, &found));
    Sys().FindClose(find);
  }
  *folderEnd = '\0';
  Sys().RemoveDirectoryA(path);
}

// Writes the link of the entry resolved last: entryTarget (program, and
// after its first comma the arguments), described by entrySource, working in
// installDir, saved as entrySource + ".lnk" at `name` within `path`. An
// unusable entry, a caption that is not a plain name or a path that does not
// fit makes no link object at all.
void MakeLink(char* path, char* name) {
  SetupState& s = State();
  if (s.entryTarget[0] == '\0' || !IsPlainName(s.entrySource)) return;
  *name = '\0';
  if (!AppendText(path, kPathSize, s.entrySource) ||
      !AppendText(path, kPathSize, kLinkExtension)) {
    return;
  }
  char16_t widePath[kPathSize];
  if (Sys().MultiByteToWideChar(path, widePath, kPathSize) == 0) return;

  ShellLink* link = Sys().CreateShellLink();
  if (link == nullptr) return;
  char* comma = FindCharMb(s.entryTarget, ',');
  if (comma != nullptr) {
    *comma = '\0';
    link->SetArguments(comma + 1);
  }
  link->SetPath(s.entryTarget);
  link->SetDescription(s.entrySource);
  link->SetWorkingDirectory(s.installDir);
  PersistFile* persist = link->QueryPersistFile();
  if (persist != nullptr) {
    persist->Save(widePath, 1);
    persist->Release();
  }
  link->Release();
}

void CreateLinks(char* path, bool groupFolder) {
  SetupState& s = State();
  if (groupFolder) {
    if (!AppendText(path, kPathSize, "\\")) return;
    CreateFolderLevel(path);  // the links are attempted in any case
  }
  char* name = path + strlen(path);
  int count = 1;
  if (groupFolder) {
    ResolveGroupItem(1);
    count = s.groupItemCount;
  } else {
    ResolveInstallEntry(1);
    CopyText(s.entrySource, kPathSize, s.productTitle);
  }
  // COM lives on this thread for this call only; a failed initialisation is
  // not balanced by an uninitialisation.
  const long com = Sys().CoInitialize();
  for (int i = 1; i <= count; ++i) {
    MakeLink(path, name);
    // Both fields are shared, so the next item is read only now.
    if (i < count) ResolveGroupItem(i + 1);
  }
  if (com >= 0) Sys().CoUninitialize();
}

}  // namespace

void UpdateShortcuts(int kind, int remove) {
  SetupState& s = State();
  if (!s.newShell) {
    UpdateProgmanGroup(kind, remove);
    return;
  }
  // productTitle names the group folder or the single link.
  if (!IsPlainName(s.productTitle)) return;
  char path[kPathSize];
  if (!ReadShellFolder(kind, path) || !AppendText(path, kPathSize, "\\")) return;
  const bool groupFolder = kind == kShortcutPrograms && s.groupItemCount > 0;
  if (groupFolder && !AppendText(path, kPathSize, s.productTitle)) return;

  if (!remove) {
    CreateLinks(path, groupFolder);
  } else if (groupFolder) {
    RemoveGroupFolder(path);
  } else if (AppendText(path, kPathSize, s.productTitle) &&
             AppendText(path, kPathSize, kLinkExtension)) {
    Sys().DeleteFileA(path);
  }
}

}  // namespace setup
