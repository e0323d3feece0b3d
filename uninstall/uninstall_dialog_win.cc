#include "uninstall/uninstall_dialog_win.h"

namespace setup {

void RunUninstall() {}

}  // namespace setup
