// The install sequence of the copy page, one step per message: the
// destination folder, the setup program, the setup description, every
// numbered [Install] entry, then the shortcuts and the uninstall
// registration. Also what Finish does.
#ifndef SETUP_WIZARD_INSTALL_SEQUENCE_H_
#define SETUP_WIZARD_INSTALL_SEQUENCE_H_

#include <stdint.h>

#include "platform/platform.h"

namespace setup {

extern const char kCopyInUseSuffix[];
extern const char kCopyFailedSuffix[];
extern const char kInstallCompleteText[];

// The copy page as the sequence sees it: its controls and its messages. The
// window code implements it on the page in messageOwner and the frame in
// wizardWindow.
class CopyPageView {
 public:
  // Progress bar 1003: range 0 to `maximum`.
  virtual void SetProgressRange(uint16_t maximum) = 0;
  // Progress bar 1003: one step forward (held at the maximum).
  virtual void AdvanceProgress() = 0;
  // Hides progress bar 1003.
  virtual void HideProgress() = 0;
  // Sets the text of control 1008.
  virtual void SetStatusText(const char* text) = 0;
  // Shows the hint 1012 about removing the software.
  virtual void ShowRemoveHint() = 0;
  // Posts the next step message (WM_COMMAND, wParam 1, lParam 0) to the page.
  virtual void PostNextStep() = 0;
  // Posts PSM_SETWIZBUTTONS with Finish alone to the frame.
  virtual void PostFinishButton() = 0;

 protected:
  ~CopyPageView() = default;
};

// Runs step installStep of the sequence (N = installEntryCount):
//   0          progress range 0..N+3 (16-bit), CreateFolderPath(installDir);
//   1 .. N+2   ResolveInstallEntry(step - 2) and CopyInstallEntry();
//   N+3        the shortcuts (Startup alone for a resident program, else
//              Programs and Desktop as the options asked) and
//              RegisterUninstall().
// A failure has been shown and never stops the sequence. Then the bar
// advances, installStep goes up by one and either the next step message is
// posted or, after the last step, the closing texts are shown (bar hidden,
// completion text, removal hint on the new shell) and Finish is posted.
// Once the sequence is over a further call does nothing, so a stray step
// message can never run it twice.
void RunInstallStep(CopyPageView& page);

// Creates the subfolders of the resolved entry's target below installDir,
// level by level (entryTargetTail moves along), then copies entrySource over
// entryTarget and clears the copy's attributes. Returns 1 when the file is in
// place (ERROR_FILE_EXISTS counts as done); 0 after a message owned by
// messageOwner: a subfolder failed, the target is in use (the full target is
// named), or the copy failed otherwise (the source is named, also when the
// target did not fit in a path).
int CopyInstallEntry();

// Finish: starts the program of entry 1, its path quoted so that no shorter
// path before a blank can be started instead, with installDir as the current
// directory; then opens the Open key's file with the verb "open". Failures
// show nothing. Without an entry 1 no program is started.
void StartInstalledProgram(WindowHandle page);

}  // namespace setup

#endif  // SETUP_WIZARD_INSTALL_SEQUENCE_H_
