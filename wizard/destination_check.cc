#include "wizard/destination_check.h"

#include <string.h>

#include "startup/setup_state.h"
#include "startup/text_helpers.h"
#include "wizard/folder_creation.h"
#include "wizard/text_format.h"

namespace setup {

const char kRootDirectoryText[] = "ルートディレクトリにはインストールできません。";
const char kNeedDrivePathText[] =
    "「C:\\Soft」のように、ドライブ名も含めた正しいパス名を指定してください。";
const char kDestinationTooLongText[] =
    "パス名が長すぎます。もっと短いパス名を指定してください。";
const char kLowSpaceQuestionFormat[] =
    "指定されたドライブの残り容量が %uメガバイトしかありません。"
    "かまわずにインストールしますか？";

namespace {

void ShowPageError(WindowHandle page, const char* text) {
  Sys().MessageBoxA(page, text, nullptr, kMbIconError | kMbOk);
}

// 1 when `path` (with closing backslash) names an existing folder. A name
// with a wildcard never counts, since the search would match other entries.
int FolderExists(const char* path) {
  char name[kPathSize];
  if (!CopyText(name, sizeof name, path)) return 0;
  name[strlen(name) - 1] = '\0';  // the closing backslash
  if (strpbrk(name, "*?") != nullptr) return 0;
  FindData found;
  FindHandle find = Sys().FindFirstFileA(name, &found);
  if (find == nullptr) return 0;
  Sys().FindClose(find);
  return (found.attributes & kFileAttributeDirectory) ? 1 : 0;
}

// 1 when the text has room for its closing backslash in installDir, or
// already ends in one.
int HasRoomForClosingBackslash(const char* text) {
  const size_t length = strlen(text);
  if (length < kPathSize - 1) return 1;
  return text[length - 1] == '\\' &&
         IsInsideMbChar(text, static_cast<unsigned>(length - 1)) == 0;
}

bool IsDriveRootOrShorter(const char* path) {
  const size_t length = strlen(path);
  return length <= 2 || (length == 3 && path[1] == ':' && path[2] == '\\');
}

bool HasDrivePrefix(const char* path) { return path[1] == ':' && path[2] == '\\'; }

// Asks whether to go on with `tenths` of free space; 0 when the user says No.
int AcceptLowSpace(WindowHandle page, uint64_t tenths) {
  const unsigned figure = static_cast<unsigned>(tenths / 102 / 1024);
  char text[160];
  FormatUnsigned(text, sizeof text, kLowSpaceQuestionFormat, figure);
  return Sys().MessageBoxA(page, text, State().productTitle,
                           kMbIconQuestion | kMbYesNo) != kIdNo;
}

}  // namespace

DestinationOutcome CheckDestination(WindowHandle page) {
  SetupState& s = State();
  if (!HasRoomForClosingBackslash(s.installDir)) {
    ShowPageError(page, kDestinationTooLongText);
    return kDestinationStay;
  }
  EnsureTrailingBackslash(s.installDir);
  if (IsDriveRootOrShorter(s.installDir)) {
    ShowPageError(page, kRootDirectoryText);
    return kDestinationStay;
  }
  if (!HasDrivePrefix(s.installDir)) {
    ShowPageError(page, kNeedDrivePathText);
    return kDestinationStay;
  }
  // An existing folder already shows that the destination can be had; the
  // trial would only remove it when it is empty.
  if (!FolderExists(s.installDir)) {
    s.messageOwner = page;
    if (!CreateFolderPath(s.installDir)) return kDestinationStay;
    Sys().RemoveDirectoryA(s.installDir);
  }
  const uint64_t tenths = QueryFreeSpaceTenth();
  if (tenths < kLowSpaceTenths && !AcceptLowSpace(page, tenths)) {
    return kDestinationStay;
  }
  return s.residentProgram ? kDestinationJump : kDestinationNext;
}

uint64_t QueryFreeSpaceTenth() {
  char root[kPathSize];
  const unsigned length = Sys().GetFullPathNameA(State().installDir, kPathSize, root);
  if (length == 0 || length >= kPathSize) return 0;  // nothing, or cut
  if (!HasDrivePrefix(root)) return 0;
  root[3] = '\0';
  uint32_t sectorsPerCluster = 0;
  uint32_t bytesPerSector = 0;
  uint32_t freeClusters = 0;
  uint32_t totalClusters = 0;
  if (!Sys().GetDiskFreeSpaceA(root, &sectorsPerCluster, &bytesPerSector,
                               &freeClusters, &totalClusters)) {
    return 0;
  }
  return static_cast<uint64_t>(freeClusters / 10) * bytesPerSector *
         sectorsPerCluster;
}

void EnterPickerFolder() {
  char root[kPathSize];
  root[0] = '\0';
  Sys().GetWindowsDirectoryA(root, kPathSize);
  root[3] = '\0';
  Sys().SetCurrentDirectoryA(root);
}

void LeavePickerFolder() { Sys().SetCurrentDirectoryA(State().sourceDir); }

int CutToChosenFolder(char* fileBuffer, unsigned fileOffset) {
  if (fileOffset == 0 || fileOffset >= kPathSize ||
      fileOffset > strlen(fileBuffer)) {
    return 0;
  }
  fileBuffer[fileOffset] = '\0';
  return 1;
}

}  // namespace setup
