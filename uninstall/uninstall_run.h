// The steps of the uninstall run around its dialog: the texts that the
// dialog shows and what happens before it opens and after it closes.
#ifndef SETUP_UNINSTALL_UNINSTALL_RUN_H_
#define SETUP_UNINSTALL_UNINSTALL_RUN_H_

#include "startup/setup_state.h"

namespace setup {

// Room for the dialog's caption and for either outcome text (installDir of
// up to 259 bytes and the failure sentence).
constexpr unsigned kUninstallTextSize = kPathSize + 64;

// installDir := sourceDir, the folder of the installed setup program named
// on the command line.
void PrepareUninstallRun();

// text := productTitle + "の削除".
void ComposeUninstallCaption(char* text);

// text := productTitle + "は正常に削除されました。" when `removed` is 1;
// otherwise installDir (with its closing backslash) +
// " にはまだファイルが残っています。後で削除してください。".
void ComposeOutcomeText(int removed, char* text);

// Schedules the running program's own file (GetModuleFileNameA of
// appInstance) for deletion at the next restart. Called once the dialog has
// closed, whatever the outcome.
void ScheduleOwnDeletion();

}  // namespace setup

#endif  // SETUP_UNINSTALL_UNINSTALL_RUN_H_
