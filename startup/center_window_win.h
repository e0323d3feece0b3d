// CenterWindow: places a window in the middle of the primary screen.
#ifndef SETUP_STARTUP_CENTER_WINDOW_WIN_H_
#define SETUP_STARTUP_CENTER_WINDOW_WIN_H_

#include <windows.h>

namespace setup {

// Moves `window` so that it is centred on the whole primary screen (not the
// work area), keeping its size, Z order and activation. A window larger than
// the screen gets a negative coordinate.
void CenterWindow(HWND window);

}  // namespace setup

#endif  // SETUP_STARTUP_CENTER_WINDOW_WIN_H_
