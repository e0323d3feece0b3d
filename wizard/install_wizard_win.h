// The install mode: a wizard of three pages in one property sheet.
#ifndef SETUP_WIZARD_INSTALL_WIZARD_WIN_H_
#define SETUP_WIZARD_INSTALL_WIZARD_WIN_H_

namespace setup {

// Makes sourceDir the current directory and runs the wizard until it is
// finished or cancelled.
void RunInstallWizard();

}  // namespace setup

#endif  // SETUP_WIZARD_INSTALL_WIZARD_WIN_H_
