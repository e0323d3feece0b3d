// Drives a Windows program through its windows the way a person would: start
// it with an exact command line, wait for its windows, read and fill its
// controls, press its buttons, answer its message boxes and wait for its exit.
// Used by the Windows-side test programs and by uidriver.exe.
//
// Texts are the bytes of the ANSI code page (CP932 on the Japanese test
// setup), exactly as the program under test shows them. Every wait takes a
// deadline in milliseconds and polls; nothing waits forever. Messages that
// may start a modal loop in the driven program (button presses) are posted,
// never sent, so a message box raised by a press cannot block the driver.
#ifndef SETUP_TOOLS_UIDRIVER_UIDRIVER_H_
#define SETUP_TOOLS_UIDRIVER_UIDRIVER_H_

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace uidriver {

// Button ids of the property-sheet wizard frame.
constexpr int kWizardBack = 12323;
constexpr int kWizardNext = 12324;
constexpr int kWizardFinish = 12325;
constexpr int kWizardCancel = IDCANCEL;

// Calls `done` every `interval_ms` until it returns true or `timeout_ms`
// passed. Returns true when `done` returned true (it is called at least once,
// and once more at the deadline).
bool PollUntil(int timeout_ms, const std::function<bool()>& done,
               int interval_ms = 50);

// A process started by the driver. Owns its process and thread handles and
// closes them when destroyed; destroying it does not end the process.
class Process {
 public:
  Process() = default;
  ~Process();
  Process(const Process&) = delete;
  Process& operator=(const Process&) = delete;

  // Starts `exe_path` with the command line `"exe_path"` followed, when
  // `arguments` is not empty, by one blank and `arguments` verbatim. So the
  // program's WinMain receives exactly `arguments`. `current_dir` empty keeps
  // the caller's current directory. On failure returns false and describes
  // the reason in *error (when given).
  bool Start(const std::string& exe_path, const std::string& arguments,
             const std::string& current_dir = std::string(),
             std::string* error = nullptr);

  // Starts `exe_path` with `command_line` as the complete command line
  // (program name included), passed to CreateProcessA unchanged.
  bool StartRaw(const std::string& exe_path, const std::string& command_line,
                const std::string& current_dir = std::string(),
                std::string* error = nullptr);

  DWORD id() const { return pid_; }
  HANDLE handle() const { return process_; }
  bool started() const { return process_ != nullptr; }
  bool Running() const;

  // Waits up to `timeout_ms` for the process to end. True when it ended;
  // then *exit_code (when given) holds its exit code.
  bool WaitForExit(int timeout_ms, DWORD* exit_code = nullptr);

  // Ends the process if it still runs and waits up to 5 s for it to go.
  void Terminate(UINT exit_code = 255);

 private:
  void Close();
  HANDLE process_ = nullptr;
  HANDLE thread_ = nullptr;
  DWORD pid_ = 0;
};

// --- Windows --------------------------------------------------------------

std::string ClassName(HWND window);

// The text of `window` read with WM_GETTEXT (so edit controls report their
// current contents). Empty when the window does not answer within 2 s.
std::string WindowText(HWND window);

// Replaces the text of `window` (an edit control, usually) with WM_SETTEXT.
bool SetWindowTextTo(HWND window, const std::string& text);

// Top-level windows that belong to process `pid`, in Z order (topmost first).
// With `visible_only` the hidden ones (IME windows, message-only helpers) are
// left out.
std::vector<HWND> TopWindows(DWORD pid, bool visible_only = true);

// The visible top-level windows of every process, in Z order.
std::vector<HWND> VisibleTopWindows();

// Waits until process `pid` shows a visible top-level window whose class is
// `class_name` and whose caption is `caption`; either may be null to match
// any. Returns the window or null at the deadline.
HWND WaitForWindow(DWORD pid, const char* class_name, const char* caption,
                   int timeout_ms);

// One child control as a person sees it.
struct Control {
  HWND hwnd = nullptr;
  HWND parent = nullptr;
  int id = 0;
  std::string class_name;
  std::string text;  // WM_GETTEXT
  LONG style = 0;
  bool visible = false;
  bool enabled = false;
};

// Every descendant of `window` (children, grandchildren...) in the order
// EnumChildWindows gives them.
std::vector<Control> Controls(HWND window);

// The first descendant of `window` with control id `id`. With `visible_only`
// hidden controls (those on property-sheet pages not shown) are skipped.
HWND FindControl(HWND window, int id, bool visible_only = true);

// Presses a push button, check box or radio button the way a click does, by
// posting BM_CLICK. Refuses (returns false, reason in *error) when the
// control is missing, hidden or disabled: a click cannot reach those, while a
// posted message would.
bool Press(HWND control, std::string* error = nullptr);

// Presses the control `id` among the visible descendants of `window`.
bool PressId(HWND window, int id, std::string* error = nullptr);

// --- Message boxes ----------------------------------------------------------

enum class Icon { kNone, kError, kWarning, kInformation, kQuestion, kUnknown };
const char* IconName(Icon icon);

struct MessageBoxInfo {
  HWND hwnd = nullptr;
  std::string text;      // the message, CP932 bytes
  std::string caption;   // the box's caption
  HWND owner = nullptr;  // GetWindow(GW_OWNER); null when it has no owner
  Icon icon = Icon::kNone;
  std::vector<int> buttons;  // ids of the visible buttons, left to right
};

// True when `window` is a message box: a dialog (#32770) with the static
// text control (id 0xFFFF) of MessageBoxA and no property-sheet buttons.
bool IsMessageBox(HWND window);

// Reads the box. The icon is recognised by comparing the screen pixels of
// its icon control with the system icons; this polls (up to 3 s) until the
// box has been painted. Returns false when `window` is no message box.
bool ReadMessageBox(HWND window, MessageBoxInfo* info);

// Waits for a visible message box of process `pid` and reads it.
bool WaitForMessageBox(DWORD pid, int timeout_ms, MessageBoxInfo* info);

// Answers the box with the button `button_id` (IDOK, IDYES...), refusing a
// button that the box does not show or has disabled, and waits up to 5 s for
// the box to close.
bool AnswerMessageBox(HWND box, int button_id, std::string* error = nullptr);

// --- Property-sheet wizards ---------------------------------------------

// True when `window` is a property-sheet frame with wizard buttons.
bool IsWizard(HWND window);

// Waits for a visible wizard frame of process `pid`.
HWND WaitForWizard(DWORD pid, int timeout_ms);

// The page shown now (PSM_GETCURRENTPAGEHWND), or null. Null also while the
// wizard's thread is busy (a page's handler or a closing message box), so
// tests that need the page wait for it with WaitForCurrentPage.
HWND CurrentPage(HWND wizard);

// Polls until the wizard reports a page other than `other` (null: any page)
// and returns it; null when none came within `timeout_ms`.
HWND WaitForCurrentPage(HWND wizard, int timeout_ms, HWND other = nullptr);

// Presses a wizard button (kWizardBack, kWizardNext, kWizardFinish,
// kWizardCancel) like Press(), refusing a hidden or disabled one.
bool PressWizardButton(HWND wizard, int button_id,
                       std::string* error = nullptr);

// --- Waiting for the end ------------------------------------------------

enum class Outcome { kExited, kWindow, kTimeout };

// Waits until `process` exits or shows a visible top-level window that stays
// visible for 200 ms (a window being torn down is no new window). On
// kExited *exit_code holds the exit code, on kWindow *window the window.
Outcome WaitForExitOrWindow(Process& process, int timeout_ms,
                            DWORD* exit_code, HWND* window);

// --- Screenshots --------------------------------------------------------

// Saves the whole screen as a 24-bit BMP file. False when it cannot.
bool SaveScreenshot(const std::string& bmp_path);

// Saves the screen area that `window` covers (as shown, so it must be on
// top) as a 24-bit BMP file.
bool SaveWindowScreenshot(HWND window, const std::string& bmp_path);

// Human-readable dump of a window and its controls, for failure messages.
std::string Describe(HWND window);

// Texts converted for a UTF-8 terminal or log (CP932 -> UTF-8).
std::string ToUtf8(const std::string& ansi);

}  // namespace uidriver

#endif  // SETUP_TOOLS_UIDRIVER_UIDRIVER_H_
