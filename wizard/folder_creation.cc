#include "wizard/folder_creation.h"

#include <string.h>

#include "platform/platform.h"
#include "startup/setup_state.h"
#include "startup/text_helpers.h"

namespace setup {
namespace {

const char kFileInTheWaySuffix[] =
    " - 同じ名前のファイルが既に存在するのでフォルダが作成できません。";
const char kCreateFailedSuffix[] = " のフォルダ作成に失敗しました。";

bool IsDriveRoot(const char* path) {
  return path[0] != '\0' && path[1] == ':' && path[2] == '\\' && path[3] == '\0';
}

// Shows `name` followed by `suffix` as an error owned by messageOwner.
void ReportFolderError(const char* name, const char* suffix) {
  char text[kPathSize + 72];
  strcpy(text, name);  // at most 258 bytes
  strcat(text, suffix);
  Sys().MessageBoxA(State().messageOwner, text, nullptr, kMbIconError | kMbOk);
}

}  // namespace

int CreateFolderLevel(char* path) {
  if (IsDriveRoot(path)) return 1;
  const size_t length = strlen(path);
  if (length == 0) return 0;
  char* closing = path + length - 1;
  *closing = '\0';  // the folder's name without its closing backslash
  int result;
  FindData found;
  // A name with a wildcard is a search pattern: whatever it matches is not
  // the folder asked for, so it is left to CreateDirectoryA, which refuses it.
  FindHandle find = strpbrk(path, "*?") == nullptr
                        ? Sys().FindFirstFileA(path, &found)
                        : nullptr;
  if (find != nullptr) {
    Sys().FindClose(find);
    result = (found.attributes & kFileAttributeDirectory) ? 1 : 0;
    if (!result) ReportFolderError(path, kFileInTheWaySuffix);
  } else if (Sys().CreateDirectoryA(path)) {
    result = 1;
  } else {
    ReportFolderError(path, kCreateFailedSuffix);
    result = 0;
  }
  *closing = '\\';
  return result;
}

int CreateFolderPath(char* path) {
  if (path[0] == '\0' || path[1] != ':' || path[2] != '\\') {
    return CreateFolderLevel(path);
  }
  for (char* separator = FindCharMb(path + 3, '\\'); separator != nullptr;
       separator = FindCharMb(separator + 1, '\\')) {
    // The prefix up to and including this backslash is one level.
    const char saved = separator[1];
    separator[1] = '\0';
    const int created = CreateFolderLevel(path);
    separator[1] = saved;
    if (!created) return 0;
  }
  return 1;
}

}  // namespace setup
