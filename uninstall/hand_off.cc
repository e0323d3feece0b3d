#include "uninstall/hand_off.h"

#include <string.h>

#include "platform/platform.h"
#include "startup/setup_state.h"

namespace setup {
namespace {

const char kConfirmSuffix[] = "を削除します。";
const char kResidentSentence[] =
    "まだ常駐している場合は、今すぐ終了させてからOKボタンを押してください。";
const char kStartFailedText[] =
    "アンインストール用プログラムの起動に失敗しました。手動で削除してください。";
const char kRunArgument[] = " x ";

// The copy's path: the system directory, a backslash and the file name.
constexpr unsigned kCopyPathSize = kPathSize + kNameSize;

}  // namespace

void HandOffUninstall() {
  const SetupState& s = State();
  char text[kTitleSize + sizeof kConfirmSuffix + sizeof kResidentSentence];
  strcpy(text, s.productTitle);
  strcat(text, kConfirmSuffix);
  if (s.residentProgram) strcat(text, kResidentSentence);
  if (Sys().MessageBoxA(nullptr, text, s.productTitle,
                        kMbOkCancel | kMbIconInformation) != kIdOk) {
    return;
  }

  char systemDir[kPathSize];
  const unsigned length = Sys().GetSystemDirectoryA(systemDir, kPathSize);
  if (length == 0 || length >= kPathSize) {
    Sys().MessageBoxA(nullptr, kStartFailedText, nullptr, kMbIconError | kMbOk);
    return;
  }
  char copyPath[kCopyPathSize];
  strcpy(copyPath, systemDir);
  strcat(copyPath, "\\");
  strcat(copyPath, s.setupExeName);
  Sys().CopyFileA(s.modulePath, copyPath, 0);  // a failure shows at the start

  // Held whole, however long modulePath is.
  char commandLine[1 + kCopyPathSize + 1 + sizeof kRunArgument + kPathSize];
  strcpy(commandLine, "\"");
  strcat(commandLine, copyPath);
  strcat(commandLine, "\"");
  strcat(commandLine, kRunArgument);
  strcat(commandLine, s.modulePath);

  Sys().SetCurrentDirectoryA(systemDir);
  if (Sys().WinExec(commandLine, kSwShowNormal) < 32) {
    Sys().MessageBoxA(nullptr, kStartFailedText, nullptr, kMbIconError | kMbOk);
  }
}

}  // namespace setup
