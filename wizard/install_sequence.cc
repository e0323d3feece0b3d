#include "wizard/install_sequence.h"

#include <string.h>

#include "shortcuts/shortcuts.h"
#include "startup/setup_description.h"
#include "startup/setup_state.h"
#include "startup/text_helpers.h"
#include "wizard/folder_creation.h"
#include "wizard/uninstall_registration.h"

namespace setup {

const char kCopyInUseSuffix[] = " は他で使用中のため上書きできません。";
const char kCopyFailedSuffix[] = " のコピーに失敗しました。";
const char kInstallCompleteText[] =
    "インストールが完了しました。「完了」を押すと起動します。";

namespace {

void ReportCopyError(const char* name, const char* suffix) {
  char text[kPathSize + 64];
  strcpy(text, name);  // at most 259 bytes
  strcat(text, suffix);
  Sys().MessageBoxA(State().messageOwner, text, nullptr, kMbIconError | kMbOk);
}

void MakeShortcuts() {
  const SetupState& s = State();
  if (s.residentProgram) {
    UpdateShortcuts(kShortcutStartup, 0);
    return;
  }
  if (s.wantStartMenu) UpdateShortcuts(kShortcutPrograms, 0);
  if (s.wantDesktop) UpdateShortcuts(kShortcutDesktop, 0);
}

}  // namespace

void RunInstallStep(CopyPageView& page) {
  SetupState& s = State();
  const int last = s.installEntryCount + 3;
  const int step = s.installStep;
  if (step > last) return;

  if (step == 0) {
    page.SetProgressRange(static_cast<uint16_t>(last));
    CreateFolderPath(s.installDir);
  } else if (step < last) {
    ResolveInstallEntry(step - 2);
    CopyInstallEntry();
  } else {
    MakeShortcuts();
    RegisterUninstall();
  }
  page.AdvanceProgress();
  s.installStep = step + 1;

  if (s.installStep <= last) {
    page.PostNextStep();
    return;
  }
  page.HideProgress();
  page.SetStatusText(kInstallCompleteText);
  if (s.newShell) page.ShowRemoveHint();
  page.PostFinishButton();
}

int CopyInstallEntry() {
  SetupState& s = State();
  if (s.entryTarget[0] == '\0') {  // installDir and the target did not fit
    ReportCopyError(s.entrySource, kCopyFailedSuffix);
    return 0;
  }
  for (char* separator = FindCharMb(s.entryTargetTail, '\\'); separator != nullptr;
       separator = FindCharMb(s.entryTargetTail, '\\')) {
    s.entryTargetTail = separator + 1;
    const char saved = *s.entryTargetTail;
    *s.entryTargetTail = '\0';
    const int created = CreateFolderLevel(s.entryTarget);
    *s.entryTargetTail = saved;
    if (!created) return 0;
  }
  if (Sys().CopyFileA(s.entrySource, s.entryTarget, 0)) {
    Sys().SetFileAttributesA(s.entryTarget, kFileAttributeNormal);
    return 1;
  }
  switch (Sys().GetLastError()) {
    case kErrorSharingViolation:
      ReportCopyError(s.entryTarget, kCopyInUseSuffix);
      return 0;
    case kErrorFileExists:
      return 1;
    default:
      ReportCopyError(s.entrySource, kCopyFailedSuffix);
      return 0;
  }
}

void StartInstalledProgram(WindowHandle page) {
  SetupState& s = State();
  ResolveInstallEntry(1);
  Sys().SetCurrentDirectoryA(s.installDir);
  if (s.entrySource[0] != '\0' && s.entryTarget[0] != '\0') {
    char command[kPathSize + 2];
    command[0] = '"';
    strcpy(command + 1, s.entryTarget);  // at most 259 bytes
    strcat(command, "\"");
    Sys().WinExec(command, kSwShowNormal);
  }
  char open[kPathSize];
  if (Sys().GetPrivateProfileStringA("Install", "Open", "", open, kPathSize,
                                     s.infPath) != 0) {
    Sys().ShellExecuteA(page, "open", open, nullptr, nullptr, kSwShowNormal);
  }
}

}  // namespace setup
