#include "startup/setup_description.h"

#include <string.h>

#include "platform/platform.h"
#include "startup/setup_state.h"
#include "startup/text_helpers.h"

namespace setup {

const char kUninstallKeyPrefix[] =
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";
const char kBadSetupDescriptionText[] =
    "設定ファイルが壊れているか、または見つかりません。";

namespace {

const char kInstallSection[] = "Install";
const char kGroupSection[] = "Group";

void ReadInstallValue(const char* key, char* buffer, unsigned size) {
  Sys().GetPrivateProfileStringA(kInstallSection, key, "", buffer, size,
                                State().infPath);
}

// installDir := the default folder: drive of the Windows directory +
// "\Program Files\" + Folder + "\", or c:\ + Folder + "\" when the Windows
// directory does not start with a drive letter and colon.
void ProposeDefaultFolder() {
  SetupState& s = State();
  char windows[kPathSize];
  windows[0] = '\0';
  Sys().GetWindowsDirectoryA(windows, kPathSize);
  if (windows[1] == ':') {
    s.installDir[0] = windows[0];
    s.installDir[1] = ':';
    s.installDir[2] = '\0';
    strcat(s.installDir, "\\Program Files\\");
  } else {
    strcpy(s.installDir, "c:\\");
  }
  strcat(s.installDir, s.productFolder);  // at most 17 + 99 + 1 bytes
  strcat(s.installDir, "\\");
}

// installDir := the folder recorded by a previous installation, if any.
void ProposePreviousFolder() {
  SetupState& s = State();
  char keyPath[kPathSize];
  strcpy(keyPath, kUninstallKeyPrefix);
  strcat(keyPath, s.productFolder);  // 52 + 99 bytes
  KeyHandle key = 0;
  if (Sys().RegOpenKeyExA(kHkeyLocalMachine, keyPath, kKeyRead, &key) !=
      kErrorSuccess) {
    return;
  }
  char value[kPathSize + 1];
  uint32_t size = kPathSize;
  uint32_t type = 0;
  if (Sys().RegQueryValueExA(key, "UninstallString", &type, value, &size) ==
      kErrorSuccess) {
    value[size < kPathSize ? size : kPathSize] = '\0';
    value[kPathSize - 1] = '\0';
    if (CutUninstallStringToFolder(value)) strcpy(s.installDir, value);
  }
  Sys().RegCloseKey(key);
}

int CountEntries(void (*resolve)(int)) {
  int count = 0;
  resolve(1);
  while (State().entrySource[0] != '\0') {
    ++count;
    resolve(count + 1);
  }
  return count;
}

// entryTarget := installDir + `tail`; empty when that does not fit.
void SetEntryTarget(const char* tail) {
  SetupState& s = State();
  strcpy(s.entryTarget, s.installDir);
  if (!AppendText(s.entryTarget, kPathSize, tail)) s.entryTarget[0] = '\0';
}

}  // namespace

void ReportBadSetupDescription() {
  Sys().MessageBoxA(nullptr, kBadSetupDescriptionText, nullptr,
                   kMbIconError | kMbOk);
}

int CutUninstallStringToFolder(char* text) {
  char separator = ' ';
  if (text[0] == '"') {
    memmove(text, text + 1, strlen(text));  // the NUL moves along
    separator = '"';
  }
  char* found = FindCharMb(text, separator);
  if (found == nullptr) return 1;  // no separator: the text stays whole
  // Back to the nearest byte 0x5C before the separator, byte by byte.
  for (char* p = found; p > text;) {
    --p;
    if (*p == '\\') {
      p[1] = '\0';
      return 1;
    }
  }
  return 0;
}

int LoadSetupDescription() {
  SetupState& s = State();
  ReadInstallValue("Title", s.productTitle, kTitleSize);
  ReadInstallValue("Folder", s.productFolder, kTitleSize);
  if (s.productTitle[0] == '\0' || s.productFolder[0] == '\0') {
    ReportBadSetupDescription();
    return 0;
  }
  char tsr[10];
  ReadInstallValue("TSR", tsr, sizeof tsr);
  if (tsr[0] == '1') s.residentProgram = 1;

  ProposeDefaultFolder();
  ProposePreviousFolder();

  s.installEntryCount = CountEntries(ResolveInstallEntry);
  s.groupItemCount = CountEntries(ResolveGroupItem);
  return 1;
}

char* FormatKeyNumber(int number) {
  char digits[16];
  unsigned value = static_cast<unsigned>(number);
  int length = 0;
  do {
    digits[length++] = static_cast<char>('0' + value % 10);
    value /= 10;
  } while (value != 0);
  char* out = State().keyNameBuffer;
  for (int i = 0; i < length; ++i) out[i] = digits[length - 1 - i];
  out[length] = '\0';
  return out;
}

void ResolveInstallEntry(int number) {
  SetupState& s = State();
  if (number == -1) {
    strcpy(s.entrySource, s.setupExeName);
  } else if (number == 0) {
    strcpy(s.entrySource, s.infFileName);
  } else {
    ReadInstallValue(FormatKeyNumber(number), s.entrySource, kPathSize);
  }
  char* comma = FindCharMb(s.entrySource, ',');
  const char* tail = s.entrySource;
  if (comma != nullptr) {
    *comma = '\0';
    tail = comma + 1;
  }
  SetEntryTarget(tail);
  s.entryTargetTail = s.entryTarget + strlen(s.installDir);
  if (s.entryTarget[0] == '\0') s.entryTargetTail = s.entryTarget;
}

void ResolveGroupItem(int number) {
  SetupState& s = State();
  Sys().GetPrivateProfileStringA(kGroupSection, FormatKeyNumber(number), "",
                                s.entrySource, kPathSize, s.infPath);
  char* comma = FindCharMb(s.entrySource, ',');
  if (comma == nullptr) {
    s.entrySource[0] = '\0';
    return;
  }
  *comma = '\0';
  SetEntryTarget(comma + 1);
}

}  // namespace setup
