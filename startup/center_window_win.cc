#include "startup/center_window_win.h"

#include "startup/text_helpers.h"

namespace setup {

void CenterWindow(HWND window) {
  RECT rect;
  GetWindowRect(window, &rect);
  const WindowOrigin origin = CenteredOrigin(
      GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN),
      rect.right - rect.left, rect.bottom - rect.top);
  SetWindowPos(window, nullptr, origin.x, origin.y, 0, 0,
               SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace setup
