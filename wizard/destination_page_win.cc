// Dialog 100: the destination folder.
#include <windows.h>
#include <commctrl.h>
#include <commdlg.h>
#include <prsht.h>
#include <string.h>

#include "resources/resource_ids.h"
#include "startup/center_window_win.h"
#include "startup/setup_state.h"
#include "wizard/destination_check.h"
#include "wizard/wizard_pages_win.h"

namespace setup {
namespace {

#if defined(__i386__)
static_assert(sizeof(OPENFILENAME_NT4A) == 76, "the old request layout is 76 bytes");
#endif

const char kPromptSuffix[] = "のインストール先を指定してください";

// Both description and pattern "*.*"; the literal's own NUL ends the list.
const char kPickerFilter[] = "*.*\0*.*\0";

void InitDestinationPage(HWND page) {
  SetupState& s = State();
  s.wizardWindow = GetParent(page);
  CenterWindow(static_cast<HWND>(s.wizardWindow));
  SendDlgItemMessageA(page, IDC_DESTINATION_EDIT, EM_LIMITTEXT, kPathSize - 1, 0);
  char prompt[kTitleSize + sizeof kPromptSuffix];
  strcpy(prompt, s.productTitle);  // at most 99 bytes
  strcat(prompt, kPromptSuffix);
  SetDlgItemTextA(page, IDC_DESTINATION_PROMPT, prompt);
  SetWizardCaption();
}

// The old-style save dialog with template 105 as a folder picker: only a
// drive and a folder can be chosen; the file name stays "dummy". Puts the
// chosen folder, with its closing backslash, into the field.
void PickFolder(HWND page) {
  EnterPickerFolder();
  char file[kPathSize] = "dummy";
  OPENFILENAME_NT4A request;
  memset(&request, 0, sizeof request);
  request.lStructSize = sizeof request;
  request.hwndOwner = page;
  request.hInstance = static_cast<HINSTANCE>(State().appInstance);
  request.lpstrFilter = kPickerFilter;
  request.nFilterIndex = 1;
  request.lpstrFile = file;
  request.nMaxFile = kPathSize;
  request.Flags = OFN_ENABLETEMPLATE | OFN_NOCHANGEDIR;
  request.lpTemplateName = MAKEINTRESOURCEA(IDD_FOLDER_PICKER);
  if (GetSaveFileNameA(reinterpret_cast<LPOPENFILENAMEA>(&request)) &&
      CutToChosenFolder(file, request.nFileOffset)) {
    SetDlgItemTextA(page, IDC_DESTINATION_EDIT, file);
  }
  LeavePickerFolder();
}

INT_PTR OnNext(HWND page) {
  SetupState& s = State();
  GetDlgItemTextA(page, IDC_DESTINATION_EDIT, s.installDir, kPathSize);
  switch (CheckDestination(page)) {
    case kDestinationNext:
      return FALSE;
    case kDestinationJump:
      SendMessageA(static_cast<HWND>(s.wizardWindow), PSM_SETCURSEL, 2, 0);
      return StayOnPage(page);
    case kDestinationStay:
      break;
  }
  return StayOnPage(page);
}

}  // namespace

INT_PTR CALLBACK DestinationPageProc(HWND page, UINT message, WPARAM wParam,
                                     LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG:
      InitDestinationPage(page);
      return TRUE;
    case kRestoreCaptionMessage:
      SetWizardCaption();
      return TRUE;
    case WM_COMMAND:
      if (LOWORD(wParam) == IDC_BROWSE) PickFolder(page);
      return FALSE;
    case WM_NOTIFY:
      switch (NotifyCode(lParam)) {
        case PSN_SETACTIVE:
          PostMessageA(static_cast<HWND>(State().wizardWindow), PSM_SETWIZBUTTONS, 0,
                       PSWIZB_NEXT);
          SetDlgItemTextA(page, IDC_DESTINATION_EDIT, State().installDir);
          KeepWizardCaption(page);
          return FALSE;
        case PSN_WIZNEXT:
          return OnNext(page);
      }
      return FALSE;
  }
  return FALSE;
}

}  // namespace setup
