#include "wizard/install_wizard_win.h"

#include <windows.h>
#include <commctrl.h>
#include <prsht.h>
#include <stddef.h>
#include <string.h>

#include "resources/resource_ids.h"
#include "startup/setup_state.h"
#include "startup/text_helpers.h"
#include "wizard/wizard_pages_win.h"

namespace setup {
namespace {

// The sheet steps through the page array by each record's dwSize, so the
// array is made of records of exactly that size: the first layout, which ends
// with pcRefParent. The header's first layout ends with pfnCallback.
constexpr DWORD kPageSize = offsetof(PROPSHEETPAGEA, pcRefParent) + sizeof(UINT*);
constexpr DWORD kHeaderSize = offsetof(PROPSHEETHEADERA, pfnCallback) + sizeof(PFNPROPSHEETCALLBACK);
static_assert(sizeof(PROPSHEETPAGEA_V1) == kPageSize, "page records are exactly their dwSize");
#if defined(__i386__)
static_assert(kPageSize == 40 && kHeaderSize == 40, "first layouts are 40 bytes on i686");
#endif

constexpr DWORD kSheetFlags = PSH_PROPSHEETPAGE | PSH_WIZARD | PSH_NOAPPLYNOW;
static_assert(kSheetFlags == 0xA8, "sheet flags");

const char kCaptionSuffix[] = "のインストール";

// Zeroes `page` and makes it a plain page of dialog `dialogId` in
// appInstance, run by `procedure`.
void InitWizardPage(PROPSHEETPAGEA_V1* page, WORD dialogId, DLGPROC procedure) {
  memset(page, 0, sizeof *page);
  page->dwSize = kPageSize;
  page->dwFlags = PSP_DEFAULT;
  page->hInstance = static_cast<HINSTANCE>(State().appInstance);
  page->pszTemplate = MAKEINTRESOURCEA(dialogId);
  page->pfnDlgProc = procedure;
}

}  // namespace

void SetWizardCaption() {
  char caption[kTitleSize + sizeof kCaptionSuffix];
  strcpy(caption, State().productTitle);  // at most 99 bytes
  strcat(caption, kCaptionSuffix);
  SetWindowTextA(static_cast<HWND>(State().wizardWindow), caption);
}

void KeepWizardCaption(HWND page) {
  SetWizardCaption();
  PostMessageA(page, kRestoreCaptionMessage, 0, 0);
}

INT_PTR StayOnPage(HWND page) {
  SetWindowLongPtrA(page, DWLP_MSGRESULT, -1);
  return TRUE;
}

void RunInstallWizard() {
  Sys().SetCurrentDirectoryA(State().sourceDir);
  InitCommonControls();  // the copy page's progress bar

  PROPSHEETPAGEA_V1 pages[3];
  InitWizardPage(&pages[0], IDD_DESTINATION, DestinationPageProc);
  InitWizardPage(&pages[1], IDD_OPTIONS, OptionsPageProc);
  InitWizardPage(&pages[2], IDD_COPY, CopyPageProc);

  PROPSHEETHEADERA header;
  memset(&header, 0, sizeof header);
  header.dwSize = kHeaderSize;
  header.dwFlags = kSheetFlags;
  header.nPages = 3;
  header.nStartPage = 0;
  header.ppsp = reinterpret_cast<LPCPROPSHEETPAGEA>(pages);
  PropertySheetA(&header);  // finished, cancelled or failed: all end here
}

}  // namespace setup
