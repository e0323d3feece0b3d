// A small program with the windows the UI driver must handle: an error box
// without caption, a question box, and a three-page wizard whose second page
// keeps Next disabled until its check box is set. Used to test the driver.
//
//   uidriver_demo msgbox      error box; exit code = MessageBoxA result
//   uidriver_demo question    Yes/No box with a caption; exit code = result
//   uidriver_demo wizard      exit code: 0 cancelled, 10 finished,
//                             11 finished with "ok" typed on page 1,
//                             plus 100 for each Next that reached page 2
//                             while its Next button was disabled
//   uidriver_demo acp         exit code = GetACP()
#include <windows.h>
#include <commctrl.h>
#include <string.h>

namespace {

int g_next_while_disabled = 0;
bool g_typed_ok = false;

void SetDialogResult(HWND page, LONG_PTR result) {
  SetWindowLongPtrA(page, DWLP_MSGRESULT, result);
}

INT_PTR CALLBACK NamePageProc(HWND page, UINT message, WPARAM, LPARAM lparam) {
  if (message != WM_NOTIFY) return FALSE;
  NMHDR* header = reinterpret_cast<NMHDR*>(lparam);
  switch (header->code) {
    case PSN_SETACTIVE:
      PropSheet_SetWizButtons(GetParent(page), PSWIZB_NEXT);
      return TRUE;
    case PSN_WIZNEXT: {
      char name[64] = "";
      GetDlgItemTextA(page, 1001, name, sizeof(name));
      g_typed_ok = strcmp(name, "ok") == 0;
      if (MessageBoxA(page, "次へ進みますか?", "デモ",
                      MB_YESNO | MB_ICONQUESTION) != IDYES) {
        SetDialogResult(page, -1);
      }
      return TRUE;
    }
  }
  return FALSE;
}

INT_PTR CALLBACK AgreePageProc(HWND page, UINT message, WPARAM wparam,
                               LPARAM lparam) {
  bool checked = IsDlgButtonChecked(page, 1002) == BST_CHECKED;
  DWORD buttons = PSWIZB_BACK | (checked ? PSWIZB_NEXT : 0);
  if (message == WM_COMMAND && LOWORD(wparam) == 1002) {
    PropSheet_SetWizButtons(GetParent(page), buttons);
    return TRUE;
  }
  if (message != WM_NOTIFY) return FALSE;
  NMHDR* header = reinterpret_cast<NMHDR*>(lparam);
  switch (header->code) {
    case PSN_SETACTIVE:
      PropSheet_SetWizButtons(GetParent(page), buttons);
      return TRUE;
    case PSN_WIZNEXT:
      if (!checked) {
        ++g_next_while_disabled;
        SetDialogResult(page, -1);
      }
      return TRUE;
  }
  return FALSE;
}

INT_PTR CALLBACK DonePageProc(HWND page, UINT message, WPARAM, LPARAM lparam) {
  if (message != WM_NOTIFY) return FALSE;
  if (reinterpret_cast<NMHDR*>(lparam)->code == PSN_SETACTIVE) {
    PropSheet_SetWizButtons(GetParent(page), PSWIZB_BACK | PSWIZB_FINISH);
    return TRUE;
  }
  return FALSE;
}

int RunWizard(HINSTANCE instance) {
  InitCommonControls();
  PROPSHEETPAGEA pages[3] = {};
  const DLGPROC procs[3] = {NamePageProc, AgreePageProc, DonePageProc};
  for (int i = 0; i < 3; ++i) {
    pages[i].dwSize = sizeof(PROPSHEETPAGEA);
    pages[i].hInstance = instance;
    pages[i].pszTemplate = MAKEINTRESOURCEA(201 + i);
    pages[i].pfnDlgProc = procs[i];
  }
  PROPSHEETHEADERA sheet = {};
  sheet.dwSize = sizeof(sheet);
  sheet.dwFlags = PSH_PROPSHEETPAGE | PSH_WIZARD;
  sheet.hInstance = instance;
  sheet.pszCaption = "デモ";
  sheet.nPages = 3;
  sheet.ppsp = pages;
  INT_PTR result = PropertySheetA(&sheet);
  if (result <= 0) return 100 * g_next_while_disabled;
  return 10 + (g_typed_ok ? 1 : 0) + 100 * g_next_while_disabled;
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR command_line, int) {
  if (strcmp(command_line, "msgbox") == 0) {
    return MessageBoxA(nullptr, "設定ファイルが壊れているか、または見つかりません。",
                       nullptr, MB_ICONERROR | MB_OK);
  }
  if (strcmp(command_line, "question") == 0) {
    return MessageBoxA(nullptr, "続けますか?", "デモ",
                       MB_YESNO | MB_ICONQUESTION);
  }
  if (strcmp(command_line, "wizard") == 0) return RunWizard(instance);
  if (strcmp(command_line, "acp") == 0) return static_cast<int>(GetACP());
  return 2;
}
