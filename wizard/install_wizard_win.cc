#include "wizard/install_wizard_win.h"

namespace setup {

void RunInstallWizard() {}

}  // namespace setup
