#include "uninstall/hand_off.h"

namespace setup {

void HandOffUninstall() {}

}  // namespace setup
