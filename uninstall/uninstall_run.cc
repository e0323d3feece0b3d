#include "uninstall/uninstall_run.h"

#include <string.h>

#include "platform/platform.h"
#include "uninstall/delete_at_restart.h"

namespace setup {
namespace {

const char kCaptionSuffix[] = "の削除";
const char kRemovedSuffix[] = "は正常に削除されました。";
const char kFilesLeftSuffix[] =
    " にはまだファイルが残っています。後で削除してください。";

static_assert(kPathSize - 1 + sizeof kFilesLeftSuffix <= kUninstallTextSize,
              "the failure text fits");
static_assert(kTitleSize - 1 + sizeof kRemovedSuffix <= kUninstallTextSize,
              "the success text fits");

}  // namespace

void PrepareUninstallRun() {
  SetupState& s = State();
  strcpy(s.installDir, s.sourceDir);
}

void ComposeUninstallCaption(char* text) {
  strcpy(text, State().productTitle);
  strcat(text, kCaptionSuffix);
}

void ComposeOutcomeText(int removed, char* text) {
  const SetupState& s = State();
  if (removed) {
    strcpy(text, s.productTitle);
    strcat(text, kRemovedSuffix);
  } else {
    strcpy(text, s.installDir);
    strcat(text, kFilesLeftSuffix);
  }
}

void ScheduleOwnDeletion() {
  char path[kPathSize];
  path[0] = '\0';
  Sys().GetModuleFileNameA(State().appInstance, path, kPathSize);
  DeleteAtRestart(path);
}

}  // namespace setup
