// The three pages of the install wizard and what they share: the frame's
// caption, staying on a page, and the code of a WM_NOTIFY.
#ifndef SETUP_WIZARD_WIZARD_PAGES_WIN_H_
#define SETUP_WIZARD_WIZARD_PAGES_WIN_H_

#include <windows.h>

namespace setup {

// Dialog procedures of dialogs 100 (destination), 107 (options) and 103
// (copy). WM_INITDIALOG returns TRUE; messages a page does not handle return
// FALSE and get the sheet's default handling.
INT_PTR CALLBACK DestinationPageProc(HWND page, UINT message, WPARAM wParam,
                                     LPARAM lParam);
INT_PTR CALLBACK OptionsPageProc(HWND page, UINT message, WPARAM wParam,
                                 LPARAM lParam);
INT_PTR CALLBACK CopyPageProc(HWND page, UINT message, WPARAM wParam,
                              LPARAM lParam);

// Gives the frame (wizardWindow) its caption: productTitle followed by
// "のインストール".
void SetWizardCaption();

// Posted by a page to itself when it becomes active; the page answers it
// with SetWizardCaption(). Some property-sheet implementations (Wine's among
// them) give the frame the caption of the page template, empty here, each
// time a page is shown, after the page's PSN_SETACTIVE; the posted message
// arrives once the page is on the screen and puts the caption back.
constexpr UINT kRestoreCaptionMessage = WM_APP + 1;

// Sets the caption now and posts kRestoreCaptionMessage to `page`.
void KeepWizardCaption(HWND page);

// Keeps the sheet on `page` after PSN_WIZNEXT: DWL_MSGRESULT -1; returns
// the TRUE that the dialog procedure must return.
INT_PTR StayOnPage(HWND page);

// The notification code of the NMHDR that a WM_NOTIFY's lParam points to.
inline UINT NotifyCode(LPARAM lParam) {
  return reinterpret_cast<const NMHDR*>(lParam)->code;
}

}  // namespace setup

#endif  // SETUP_WIZARD_WIZARD_PAGES_WIN_H_
