#include "uninstall/removal.h"

#include <string.h>

#include "shortcuts/shortcuts.h"
#include "startup/setup_description.h"
#include "startup/setup_state.h"
#include "uninstall/compare_text.h"
#include "uninstall/folder_tree.h"

namespace setup {
namespace {

const char kRegSection[] = "Reg";
const char kBadRegText[] = "Regセクションがおかしいです。";
const char kRemoveFailedSuffix[] =
    "の削除に失敗しました。このファイルをスキップして処理を続行します。";
const char kProgramLockedMiddle[] = " の削除に失敗しました。";
const char kProgramLockedSuffix[] =
    "を終了して、もう一度アンインストールをやり直してください。";

constexpr unsigned kSubkeyNameSize = 256;

struct RegRoot {
  const char* name;
  size_t length;
  KeyHandle key;
};

// Compared in this order, byte for byte.
const RegRoot kRegRoots[] = {
    {"HKEY_CURRENT_USER", 17, kHkeyCurrentUser},
    {"HKEY_LOCAL_MACHINE", 18, kHkeyLocalMachine},
    {"HKEY_CLASSES_ROOT", 17, kHkeyClassesRoot},
};

void ReportError(const char* text) {
  Sys().MessageBoxA(State().messageOwner, text, nullptr, kMbIconError | kMbOk);
}

// The key path of a [Reg] value: the text after the root name and the one
// character that follows it. nullptr when the value starts with no known
// root name, or when what follows the root names no key below it (nothing
// at all, or backslashes only, which the platform may take for the root).
const char* RegKeyPath(const char* value, KeyHandle* root) {
  const size_t length = strlen(value);
  for (const RegRoot& candidate : kRegRoots) {
    if (strncmp(value, candidate.name, candidate.length) != 0) continue;
    if (length <= candidate.length + 1) return nullptr;
    const char* keyPath = value + candidate.length + 1;
    if (keyPath[strspn(keyPath, "\\")] == '\0') return nullptr;
    *root = candidate.key;
    return keyPath;
  }
  return nullptr;
}

void RemoveRegKeys(char* value) {
  SetupState& s = State();
  for (int number = 1;; ++number) {
    if (Sys().GetPrivateProfileStringA(kRegSection, FormatKeyNumber(number), "",
                                      value, kPathSize, s.infPath) == 0) {
      return;
    }
    KeyHandle root = 0;
    const char* keyPath = RegKeyPath(value, &root);
    if (keyPath == nullptr) {
      ReportError(kBadRegText);
      continue;
    }
    DeleteRegistryTree(root, keyPath);
  }
}

// Entry 1 could not be deleted: asks the user to quit the product and run
// the uninstall again.
void ReportProgramLocked() {
  const SetupState& s = State();
  char text[kPathSize + kTitleSize + 96];
  strcpy(text, s.entryTarget);
  strcat(text, kProgramLockedMiddle);
  strcat(text, s.productTitle);
  strcat(text, kProgramLockedSuffix);
  ReportError(text);
}

}  // namespace

void ReportRemoveFailed(const char* path, const char* tail) {
  char text[2 * kPathSize + sizeof kRemoveFailedSuffix];
  strcpy(text, path);  // each part is at most 259 bytes
  strcat(text, tail);
  strcat(text, kRemoveFailedSuffix);
  ReportError(text);
}

int RemoveFile(const char* path) {
  FindData found;
  FindHandle find = Sys().FindFirstFileA(path, &found);
  if (find == nullptr) return 1;
  Sys().FindClose(find);
  if (Sys().DeleteFileA(path)) return 1;
  ReportRemoveFailed(path, "");
  return 0;
}

void DeleteRegistryTree(KeyHandle parent, const char* keyPath) {
  KeyHandle key = 0;
  if (Sys().RegOpenKeyExA(parent, keyPath, kKeyAllAccess, &key) == kErrorSuccess) {
    char name[kSubkeyNameSize];
    char tried[kSubkeyNameSize];  // the name tried last
    tried[0] = '\0';
    uint32_t index = 0;
    while (Sys().RegEnumKeyA(key, index, name, kSubkeyNameSize) == kErrorSuccess) {
      if (EqualsIgnoringCase(name, tried)) {
        // The subkey tried just before is still there: step over it.
        ++index;
        continue;
      }
      // After a successful deletion the next subkey moves up to this index.
      DeleteRegistryTree(key, name);
      strcpy(tried, name);
    }
    Sys().RegCloseKey(key);
  }
  Sys().RegDeleteKeyA(parent, keyPath);
}

int UninstallAll() {
  SetupState& s = State();
  int result = 1;
  // The [Reg] value and then the Uninstall key path.
  char keyText[kPathSize];
  RemoveRegKeys(keyText);

  // Entries 0 and -1 (the setup description and the setup program) last,
  // so that an early stop leaves the uninstall command able to run again.
  for (int number = s.installEntryCount; number >= -1; --number) {
    ResolveInstallEntry(number);
    if (s.entryTarget[0] == '\0') continue;  // too long to have been installed
    if (RemoveFile(s.entryTarget)) continue;
    result = 0;
    if (number == 1) {
      ReportProgramLocked();
      return 0;
    }
  }

  if (!RemoveFolderTree(s.installDir)) result = 0;

  strcpy(keyText, kUninstallKeyPrefix);
  strcat(keyText, s.productFolder);  // 52 + 99 bytes
  DeleteRegistryTree(kHkeyLocalMachine, keyText);

  UpdateShortcuts(kShortcutPrograms, 1);
  UpdateShortcuts(kShortcutDesktop, 1);
  UpdateShortcuts(kShortcutStartup, 1);
  return result;
}

}  // namespace setup
