#include "uninstall/folder_tree.h"

#include <string.h>

#include "platform/platform.h"
#include "startup/setup_state.h"
#include "startup/text_helpers.h"
#include "uninstall/compare_text.h"
#include "uninstall/removal.h"

namespace setup {
namespace {

const char kAllEntries[] = "*.*";
const char kQuestionSuffix[] = " - このファイルを削除してもいいですか？";
const char kFolderFailedSuffix[] = " - ディレクトリの削除に失敗しました";

// 1 when `folder` names a folder below a root: after the drive ("C:") or
// the server and share ("\\server\share"), at least one part of the path is
// a name. A part made of full stops and blanks only ("." or "..", which
// the platform resolves upwards) makes the whole path count as a root.
int NamesFolderBelowRoot(const char* folder) {
  const char* p = folder;
  int rootParts = 0;
  if (p[0] == '\\' && p[1] == '\\') {
    p += 2;
    rootParts = 2;  // the server and the share
  } else if (p[0] != '\0' && p[1] == ':') {
    p += 2;
  }
  int named = 0;
  while (*p != '\0') {
    const char* end = FindCharMb(p, '\\');
    const size_t length = end != nullptr ? static_cast<size_t>(end - p) : strlen(p);
    if (length > 0) {
      if (strspn(p, ". ") >= length) return 0;
      if (rootParts > 0) {
        --rootParts;
      } else {
        named = 1;
      }
    }
    if (end == nullptr) break;
    p = end + 1;
  }
  return named;
}

// 1 when a file of this name is deleted without a question: the text after
// the first full stop of the name is "gid" in any case.
int IsHelpIndex(const char* name) {
  const char* stop = FindCharMb(name, '.');
  return stop != nullptr && EqualsIgnoringCase(stop + 1, "gid");
}

// Asks whether the file at `path` may be deleted; returns the answer.
int AskAboutFile(const char* path) {
  const SetupState& s = State();
  char text[kPathSize + sizeof kQuestionSuffix];
  strcpy(text, path);
  strcat(text, kQuestionSuffix);
  return Sys().MessageBoxA(s.messageOwner, text, s.productTitle,
                           kMbYesNoCancel | kMbIconQuestion);
}

// Removes the folder itself once its listing is done. `path` holds the
// folder with its closing backslash at `length` - 1.
int RemoveListedFolder(char* path, size_t length) {
  path[length] = '\0';
  if (length > 0 && path[length - 1] == '\\' &&
      !IsInsideMbChar(path, static_cast<unsigned>(length - 1))) {
    path[length - 1] = '\0';
  }
  FindData found;
  FindHandle find = Sys().FindFirstFileA(path, &found);
  if (find == nullptr) return 1;
  Sys().FindClose(find);
  if (Sys().RemoveDirectoryA(path)) return 1;
  char text[kPathSize + sizeof kFolderFailedSuffix];
  strcpy(text, path);
  strcat(text, kFolderFailedSuffix);
  Sys().MessageBoxA(State().messageOwner, text, nullptr, kMbIconError | kMbOk);
  return 0;
}

}  // namespace

int RemoveFolderTree(const char* folder) {
  if (!NamesFolderBelowRoot(folder)) return 0;
  // The folder path, then behind it the pattern or the entry at hand.
  char path[kPathSize];
  if (!CopyText(path, kPathSize, folder)) return 0;
  const size_t length = strlen(path);
  int result = 1;

  FindData found;
  FindHandle find = nullptr;
  if (AppendText(path, kPathSize, kAllEntries)) {
    find = Sys().FindFirstFileA(path, &found);
  }
  if (find != nullptr) {
    do {
      if (strcmp(found.name, ".") == 0 || strcmp(found.name, "..") == 0) continue;
      const int isFolder = (found.attributes & kFileAttributeDirectory) != 0;
      path[length] = '\0';
      if (!AppendText(path, kPathSize, found.name) ||
          (isFolder && !AppendText(path, kPathSize, "\\"))) {
        // Too long to be named: it stays, as after a failed deletion.
        path[length] = '\0';
        ReportRemoveFailed(path, found.name);
        result = 0;
        continue;
      }
      if (isFolder) {
        if (!RemoveFolderTree(path)) {
          Sys().FindClose(find);
          return 0;
        }
        continue;
      }
      const int answer = IsHelpIndex(found.name) ? kIdYes : AskAboutFile(path);
      if (answer == kIdCancel) {
        Sys().FindClose(find);
        return 0;
      }
      if (answer == kIdYes && !RemoveFile(path)) result = 0;
    } while (Sys().FindNextFileA(find, &found));
    Sys().FindClose(find);
  }

  if (!RemoveListedFolder(path, length)) result = 0;
  return result;
}

}  // namespace setup
