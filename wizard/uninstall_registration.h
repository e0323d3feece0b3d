// The product's entry in the system's list of installed programs: the key
// SOFTWARE\Microsoft\Windows\CurrentVersion\Uninstall\<Folder> below
// HKEY_LOCAL_MACHINE with DisplayName and UninstallString.
#ifndef SETUP_WIZARD_UNINSTALL_REGISTRATION_H_
#define SETUP_WIZARD_UNINSTALL_REGISTRATION_H_

namespace setup {

// The end of the uninstall command: a double quote closing the program's
// path, a blank and the option that selects the uninstall hand-off.
extern const char kUninstallCommandSuffix[];

// Creates or opens the product's Uninstall key and writes DisplayName :=
// productTitle and UninstallString := a double quote, installDir,
// setupExeName, kUninstallCommandSuffix; both REG_SZ with the NUL counted in
// their size. Other values of the key stay. Shows nothing: when the key
// cannot be created nothing is written; failed writes are ignored.
void RegisterUninstall();

}  // namespace setup

#endif  // SETUP_WIZARD_UNINSTALL_REGISTRATION_H_
