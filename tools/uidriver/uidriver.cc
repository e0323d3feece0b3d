#include "tools/uidriver/uidriver.h"

#include <commctrl.h>
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>

#include <algorithm>

namespace uidriver {

namespace {

constexpr int kMessageTimeoutMs = 2000;
constexpr int kMessageBoxTextId = 0xFFFF;

// A 32-bit top-down DIB section selected into a memory DC.
class Canvas {
 public:
  Canvas(int width, int height) : width_(width), height_(height) {
    HDC screen = GetDC(nullptr);
    dc_ = CreateCompatibleDC(screen);
    ReleaseDC(nullptr, screen);
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    bitmap_ = CreateDIBSection(dc_, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    pixels_ = static_cast<uint32_t*>(bits);
    if (bitmap_) old_ = SelectObject(dc_, bitmap_);
  }
  ~Canvas() {
    if (old_) SelectObject(dc_, old_);
    if (bitmap_) DeleteObject(bitmap_);
    if (dc_) DeleteDC(dc_);
  }
  Canvas(const Canvas&) = delete;
  Canvas& operator=(const Canvas&) = delete;

  bool ok() const { return pixels_ != nullptr; }
  HDC dc() const { return dc_; }
  int width() const { return width_; }
  int height() const { return height_; }
  uint32_t at(int x, int y) const {
    GdiFlush();
    return pixels_[y * width_ + x] & 0xFFFFFF;
  }

  void Fill(COLORREF color) {
    HBRUSH brush = CreateSolidBrush(color);
    RECT all = {0, 0, width_, height_};
    FillRect(dc_, &all, brush);
    DeleteObject(brush);
  }

  // Copies the screen area whose top-left corner is (left, top).
  bool CopyScreen(int left, int top) {
    HDC screen = GetDC(nullptr);
    BOOL copied = BitBlt(dc_, 0, 0, width_, height_, screen, left, top,
                         SRCCOPY | CAPTUREBLT);
    ReleaseDC(nullptr, screen);
    return copied != 0;
  }

 private:
  int width_;
  int height_;
  HDC dc_ = nullptr;
  HBITMAP bitmap_ = nullptr;
  HGDIOBJ old_ = nullptr;
  uint32_t* pixels_ = nullptr;
};

bool Near(uint32_t a, uint32_t b) {
  for (int shift = 0; shift < 24; shift += 8) {
    int ca = (a >> shift) & 0xFF;
    int cb = (b >> shift) & 0xFF;
    if (abs(ca - cb) > 24) return false;
  }
  return true;
}

// Share (0..1) of the opaque pixels of `icon` that the screen shows
// unchanged at `shot` (the icon drawn at the top-left corner).
double IconMatch(HICON icon, const Canvas& shot) {
  int w = std::min(shot.width(), GetSystemMetrics(SM_CXICON));
  int h = std::min(shot.height(), GetSystemMetrics(SM_CYICON));
  Canvas on_white(w, h);
  Canvas on_black(w, h);
  if (!on_white.ok() || !on_black.ok()) return 0;
  on_white.Fill(RGB(255, 255, 255));
  on_black.Fill(RGB(0, 0, 0));
  DrawIconEx(on_white.dc(), 0, 0, icon, 0, 0, 0, nullptr, DI_NORMAL);
  DrawIconEx(on_black.dc(), 0, 0, icon, 0, 0, 0, nullptr, DI_NORMAL);
  int opaque = 0;
  int same = 0;
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      uint32_t a = on_white.at(x, y);
      if (a != on_black.at(x, y)) continue;
      ++opaque;
      if (Near(a, shot.at(x, y))) ++same;
    }
  }
  return opaque ? static_cast<double>(same) / opaque : 0;
}

// Which system icon the icon control `control` shows, read from the screen.
Icon RecogniseIcon(HWND control) {
  RECT rect;
  if (!GetWindowRect(control, &rect)) return Icon::kUnknown;
  int w = rect.right - rect.left;
  int h = rect.bottom - rect.top;
  if (w <= 0 || h <= 0) return Icon::kUnknown;
  struct Candidate {
    Icon icon;
    LPCSTR id;
  };
  const Candidate candidates[] = {
      {Icon::kError, IDI_HAND},
      {Icon::kWarning, IDI_EXCLAMATION},
      {Icon::kInformation, IDI_ASTERISK},
      {Icon::kQuestion, IDI_QUESTION},
  };
  Icon found = Icon::kUnknown;
  PollUntil(3000, [&] {
    Canvas shot(w, h);
    if (!shot.ok() || !shot.CopyScreen(rect.left, rect.top)) return false;
    double best = 0;
    for (const Candidate& c : candidates) {
      double match = IconMatch(LoadIconA(nullptr, c.id), shot);
      if (match > best) {
        best = match;
        found = c.icon;
      }
    }
    if (best >= 0.9) return true;
    found = Icon::kUnknown;
    return false;
  }, 100);
  return found;
}

struct TopWindowQuery {
  DWORD pid;  // 0: every process
  bool visible_only;
  std::vector<HWND> windows;
};

BOOL CALLBACK CollectTopWindow(HWND window, LPARAM param) {
  TopWindowQuery* query = reinterpret_cast<TopWindowQuery*>(param);
  DWORD pid = 0;
  GetWindowThreadProcessId(window, &pid);
  if (query->pid && pid != query->pid) return TRUE;
  if (query->visible_only && !IsWindowVisible(window)) return TRUE;
  query->windows.push_back(window);
  return TRUE;
}

BOOL CALLBACK CollectChild(HWND window, LPARAM param) {
  reinterpret_cast<std::vector<HWND>*>(param)->push_back(window);
  return TRUE;
}

std::vector<HWND> Descendants(HWND window) {
  std::vector<HWND> children;
  EnumChildWindows(window, CollectChild, reinterpret_cast<LPARAM>(&children));
  return children;
}

std::vector<HWND> DirectChildren(HWND window) {
  std::vector<HWND> children;
  for (HWND child = GetWindow(window, GW_CHILD); child;
       child = GetWindow(child, GW_HWNDNEXT)) {
    children.push_back(child);
  }
  return children;
}

bool ClassIs(HWND window, const char* name) {
  return lstrcmpiA(ClassName(window).c_str(), name) == 0;
}

void SetError(std::string* error, const std::string& text) {
  if (error) *error = text;
}

}  // namespace

bool PollUntil(int timeout_ms, const std::function<bool()>& done,
               int interval_ms) {
  DWORD start = GetTickCount();
  for (;;) {
    if (done()) return true;
    DWORD elapsed = GetTickCount() - start;
    if (elapsed >= static_cast<DWORD>(timeout_ms)) return done();
    DWORD left = static_cast<DWORD>(timeout_ms) - elapsed;
    Sleep(std::min<DWORD>(static_cast<DWORD>(interval_ms), left));
  }
}

// --- Process ---------------------------------------------------------------

Process::~Process() { Close(); }

void Process::Close() {
  if (thread_) CloseHandle(thread_);
  if (process_) CloseHandle(process_);
  thread_ = nullptr;
  process_ = nullptr;
  pid_ = 0;
}

bool Process::Start(const std::string& exe_path, const std::string& arguments,
                    const std::string& current_dir, std::string* error) {
  std::string command_line = "\"" + exe_path + "\"";
  if (!arguments.empty()) command_line += " " + arguments;
  return StartRaw(exe_path, command_line, current_dir, error);
}

bool Process::StartRaw(const std::string& exe_path,
                       const std::string& command_line,
                       const std::string& current_dir, std::string* error) {
  Close();
  std::vector<char> line(command_line.begin(), command_line.end());
  line.push_back('\0');
  STARTUPINFOA startup = {};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION info = {};
  if (!CreateProcessA(exe_path.c_str(), line.data(), nullptr, nullptr, FALSE,
                      0, nullptr,
                      current_dir.empty() ? nullptr : current_dir.c_str(),
                      &startup, &info)) {
    SetError(error, "CreateProcessA(" + exe_path + ") failed, error " +
                        std::to_string(GetLastError()));
    return false;
  }
  process_ = info.hProcess;
  thread_ = info.hThread;
  pid_ = info.dwProcessId;
  return true;
}

bool Process::Running() const {
  return process_ && WaitForSingleObject(process_, 0) == WAIT_TIMEOUT;
}

bool Process::WaitForExit(int timeout_ms, DWORD* exit_code) {
  if (!process_) return false;
  if (WaitForSingleObject(process_, static_cast<DWORD>(timeout_ms)) !=
      WAIT_OBJECT_0) {
    return false;
  }
  DWORD code = 0;
  GetExitCodeProcess(process_, &code);
  if (exit_code) *exit_code = code;
  return true;
}

void Process::Terminate(UINT exit_code) {
  if (!Running()) return;
  TerminateProcess(process_, exit_code);
  WaitForSingleObject(process_, 5000);
}

// --- Windows ---------------------------------------------------------------

std::string ClassName(HWND window) {
  char name[256] = "";
  GetClassNameA(window, name, sizeof(name));
  return name;
}

std::string WindowText(HWND window) {
  char text[4096] = "";
  DWORD_PTR copied = 0;
  if (!SendMessageTimeoutA(window, WM_GETTEXT, sizeof(text),
                           reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG,
                           kMessageTimeoutMs, &copied)) {
    return std::string();
  }
  text[sizeof(text) - 1] = '\0';
  return text;
}

bool SetWindowTextTo(HWND window, const std::string& text) {
  DWORD_PTR result = 0;
  return SendMessageTimeoutA(window, WM_SETTEXT, 0,
                             reinterpret_cast<LPARAM>(text.c_str()),
                             SMTO_ABORTIFHUNG, kMessageTimeoutMs,
                             &result) != 0 &&
         result != 0;
}

std::vector<HWND> TopWindows(DWORD pid, bool visible_only) {
  TopWindowQuery query{pid, visible_only, {}};
  EnumWindows(CollectTopWindow, reinterpret_cast<LPARAM>(&query));
  return query.windows;
}

std::vector<HWND> VisibleTopWindows() {
  TopWindowQuery query{0, true, {}};
  EnumWindows(CollectTopWindow, reinterpret_cast<LPARAM>(&query));
  return query.windows;
}

HWND WaitForWindow(DWORD pid, const char* class_name, const char* caption,
                   int timeout_ms) {
  HWND found = nullptr;
  PollUntil(timeout_ms, [&] {
    for (HWND window : TopWindows(pid)) {
      if (class_name && !ClassIs(window, class_name)) continue;
      if (caption && WindowText(window) != caption) continue;
      found = window;
      return true;
    }
    return false;
  });
  return found;
}

std::vector<Control> Controls(HWND window) {
  std::vector<Control> controls;
  for (HWND child : Descendants(window)) {
    Control c;
    c.hwnd = child;
    c.parent = GetParent(child);
    c.id = GetDlgCtrlID(child);
    c.class_name = ClassName(child);
    c.text = WindowText(child);
    c.style = GetWindowLongA(child, GWL_STYLE);
    c.visible = IsWindowVisible(child) != 0;
    c.enabled = IsWindowEnabled(child) != 0;
    controls.push_back(c);
  }
  return controls;
}

HWND FindControl(HWND window, int id, bool visible_only) {
  for (HWND child : Descendants(window)) {
    if (GetDlgCtrlID(child) != id) continue;
    if (visible_only && !IsWindowVisible(child)) continue;
    return child;
  }
  return nullptr;
}

bool Press(HWND control, std::string* error) {
  if (!control || !IsWindow(control)) {
    SetError(error, "no such control");
    return false;
  }
  std::string name =
      "control " + std::to_string(GetDlgCtrlID(control)) + " \"" +
      ToUtf8(WindowText(control)) + "\"";
  if (!IsWindowVisible(control)) {
    SetError(error, name + " is hidden");
    return false;
  }
  if (!IsWindowEnabled(control)) {
    SetError(error, name + " is disabled");
    return false;
  }
  if (!PostMessageA(control, BM_CLICK, 0, 0)) {
    SetError(error, "posting BM_CLICK to " + name + " failed");
    return false;
  }
  return true;
}

bool PressId(HWND window, int id, std::string* error) {
  HWND control = FindControl(window, id, true);
  if (!control) {
    SetError(error, "no visible control " + std::to_string(id));
    return false;
  }
  return Press(control, error);
}

// --- Message boxes -----------------------------------------------------------

const char* IconName(Icon icon) {
  switch (icon) {
    case Icon::kNone: return "none";
    case Icon::kError: return "error";
    case Icon::kWarning: return "warning";
    case Icon::kInformation: return "information";
    case Icon::kQuestion: return "question";
    case Icon::kUnknown: break;
  }
  return "unknown";
}

bool IsMessageBox(HWND window) {
  if (!ClassIs(window, "#32770")) return false;
  bool has_text = false;
  for (HWND child : DirectChildren(window)) {
    int id = GetDlgCtrlID(child);
    if (ClassIs(child, "Static")) {
      LONG style = GetWindowLongA(child, GWL_STYLE);
      if (id == kMessageBoxTextId && (style & SS_NOPREFIX)) has_text = true;
    } else if (ClassIs(child, "Button")) {
      if (id < IDOK || id > IDCONTINUE) return false;
    } else {
      return false;
    }
  }
  return has_text;
}

bool ReadMessageBox(HWND window, MessageBoxInfo* info) {
  if (!IsMessageBox(window)) return false;
  MessageBoxInfo box;
  box.hwnd = window;
  box.caption = WindowText(window);
  box.owner = GetWindow(window, GW_OWNER);
  std::vector<std::pair<LONG, int>> buttons;  // (left edge, id)
  HWND icon_control = nullptr;
  for (HWND child : DirectChildren(window)) {
    if (!IsWindowVisible(child)) continue;
    int id = GetDlgCtrlID(child);
    if (ClassIs(child, "Button")) {
      RECT rect;
      GetWindowRect(child, &rect);
      buttons.emplace_back(rect.left, id);
    } else if (id == kMessageBoxTextId) {
      box.text = WindowText(child);
    } else if ((GetWindowLongA(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON) {
      icon_control = child;
    }
  }
  std::sort(buttons.begin(), buttons.end());
  for (const auto& b : buttons) box.buttons.push_back(b.second);
  box.icon = icon_control ? RecogniseIcon(icon_control) : Icon::kNone;
  *info = box;
  return true;
}

bool WaitForMessageBox(DWORD pid, int timeout_ms, MessageBoxInfo* info) {
  HWND box = nullptr;
  PollUntil(timeout_ms, [&] {
    for (HWND window : TopWindows(pid)) {
      if (IsMessageBox(window)) {
        box = window;
        return true;
      }
    }
    return false;
  });
  return box && ReadMessageBox(box, info);
}

bool AnswerMessageBox(HWND box, int button_id, std::string* error) {
  if (!IsMessageBox(box)) {
    SetError(error, "window is no message box");
    return false;
  }
  HWND button = nullptr;
  for (HWND child : DirectChildren(box)) {
    if (GetDlgCtrlID(child) == button_id && ClassIs(child, "Button")) {
      button = child;
    }
  }
  if (!button) {
    SetError(error, "message box has no button " + std::to_string(button_id));
    return false;
  }
  if (!Press(button, error)) return false;
  if (!PollUntil(5000, [&] { return !IsWindow(box) || !IsWindowVisible(box); })) {
    SetError(error, "message box did not close after pressing " +
                        std::to_string(button_id));
    return false;
  }
  return true;
}

// --- Wizards -----------------------------------------------------------------

bool IsWizard(HWND window) {
  if (!ClassIs(window, "#32770")) return false;
  for (HWND child : DirectChildren(window)) {
    int id = GetDlgCtrlID(child);
    if (id == kWizardNext || id == kWizardFinish) return true;
  }
  return false;
}

HWND WaitForWizard(DWORD pid, int timeout_ms) {
  HWND found = nullptr;
  PollUntil(timeout_ms, [&] {
    for (HWND window : TopWindows(pid)) {
      if (IsWizard(window)) {
        found = window;
        return true;
      }
    }
    return false;
  });
  return found;
}

HWND CurrentPage(HWND wizard) {
  DWORD_PTR page = 0;
  if (!SendMessageTimeoutA(wizard, PSM_GETCURRENTPAGEHWND, 0, 0,
                           SMTO_ABORTIFHUNG, kMessageTimeoutMs, &page)) {
    return nullptr;
  }
  return reinterpret_cast<HWND>(page);
}

HWND WaitForCurrentPage(HWND wizard, int timeout_ms, HWND other) {
  HWND page = nullptr;
  const bool found = PollUntil(timeout_ms, [&] {
    page = CurrentPage(wizard);
    return page != nullptr && page != other;
  });
  return found ? page : nullptr;
}

bool PressWizardButton(HWND wizard, int button_id, std::string* error) {
  HWND button = nullptr;
  for (HWND child : DirectChildren(wizard)) {
    if (GetDlgCtrlID(child) == button_id) button = child;
  }
  if (!button) {
    SetError(error, "wizard has no button " + std::to_string(button_id));
    return false;
  }
  return Press(button, error);
}

// --- Waiting -------------------------------------------------------------------

Outcome WaitForExitOrWindow(Process& process, int timeout_ms,
                            DWORD* exit_code, HWND* window) {
  // A window counts once it has stayed visible for kSteadyMs: a frame that
  // is being torn down can show as visible for a moment after it was hidden.
  constexpr DWORD kSteadyMs = 200;
  Outcome outcome = Outcome::kTimeout;
  HWND candidate = nullptr;
  DWORD seen_at = 0;
  PollUntil(timeout_ms, [&] {
    if (process.WaitForExit(0, exit_code)) {
      outcome = Outcome::kExited;
      return true;
    }
    std::vector<HWND> windows = TopWindows(process.id());
    if (windows.empty()) {
      candidate = nullptr;
      return false;
    }
    if (windows.front() != candidate) {
      candidate = windows.front();
      seen_at = GetTickCount();
      return false;
    }
    if (GetTickCount() - seen_at < kSteadyMs) return false;
    if (window) *window = candidate;
    outcome = Outcome::kWindow;
    return true;
  });
  return outcome;
}

// --- Screenshots -----------------------------------------------------------------

namespace {

bool SaveScreenArea(const RECT& area, const std::string& bmp_path) {
  int left = area.left;
  int top = area.top;
  int width = area.right - area.left;
  int height = area.bottom - area.top;
  if (width <= 0 || height <= 0) return false;
  Canvas shot(width, height);
  if (!shot.ok() || !shot.CopyScreen(left, top)) return false;

  const int row_bytes = (width * 3 + 3) & ~3;
  const DWORD image_bytes = static_cast<DWORD>(row_bytes) * height;
  BITMAPFILEHEADER file = {};
  BITMAPINFOHEADER header = {};
  file.bfType = 0x4D42;  // "BM"
  file.bfOffBits = sizeof(file) + sizeof(header);
  file.bfSize = file.bfOffBits + image_bytes;
  header.biSize = sizeof(header);
  header.biWidth = width;
  header.biHeight = height;  // bottom-up rows
  header.biPlanes = 1;
  header.biBitCount = 24;
  header.biCompression = BI_RGB;
  header.biSizeImage = image_bytes;

  FILE* out = fopen(bmp_path.c_str(), "wb");
  if (!out) return false;
  bool ok = fwrite(&file, sizeof(file), 1, out) == 1 &&
            fwrite(&header, sizeof(header), 1, out) == 1;
  std::vector<unsigned char> row(row_bytes, 0);
  for (int y = height - 1; ok && y >= 0; --y) {
    for (int x = 0; x < width; ++x) {
      uint32_t p = shot.at(x, y);
      row[x * 3 + 0] = p & 0xFF;
      row[x * 3 + 1] = (p >> 8) & 0xFF;
      row[x * 3 + 2] = (p >> 16) & 0xFF;
    }
    ok = fwrite(row.data(), row.size(), 1, out) == 1;
  }
  return fclose(out) == 0 && ok;
}

}  // namespace

bool SaveScreenshot(const std::string& bmp_path) {
  int left = GetSystemMetrics(SM_XVIRTUALSCREEN);
  int top = GetSystemMetrics(SM_YVIRTUALSCREEN);
  RECT screen = {left, top, left + GetSystemMetrics(SM_CXVIRTUALSCREEN),
                 top + GetSystemMetrics(SM_CYVIRTUALSCREEN)};
  return SaveScreenArea(screen, bmp_path);
}

bool SaveWindowScreenshot(HWND window, const std::string& bmp_path) {
  RECT rect;
  if (!GetWindowRect(window, &rect)) return false;
  return SaveScreenArea(rect, bmp_path);
}

std::string ToUtf8(const std::string& ansi) {
  if (ansi.empty()) return ansi;
  int wide_len = MultiByteToWideChar(CP_ACP, 0, ansi.data(),
                                     static_cast<int>(ansi.size()), nullptr, 0);
  std::wstring wide(wide_len, L'\0');
  MultiByteToWideChar(CP_ACP, 0, ansi.data(), static_cast<int>(ansi.size()),
                      &wide[0], wide_len);
  int len = WideCharToMultiByte(CP_UTF8, 0, wide.data(), wide_len, nullptr, 0,
                                nullptr, nullptr);
  std::string utf8(len, '\0');
  WideCharToMultiByte(CP_UTF8, 0, wide.data(), wide_len, &utf8[0], len,
                      nullptr, nullptr);
  return utf8;
}

std::string Describe(HWND window) {
  char head[128];
  snprintf(head, sizeof(head), "window %p class %s%s%s", (void*)window,
           ClassName(window).c_str(), IsWindowVisible(window) ? "" : " hidden",
           IsWindowEnabled(window) ? "" : " disabled");
  std::string out = std::string(head) + " \"" + ToUtf8(WindowText(window)) +
                    "\"\n";
  for (const Control& c : Controls(window)) {
    char line[160];
    snprintf(line, sizeof(line), "  id %d %s%s%s ", c.id, c.class_name.c_str(),
             c.visible ? "" : " hidden", c.enabled ? "" : " disabled");
    out += line + ("\"" + ToUtf8(c.text) + "\"\n");
  }
  return out;
}

}  // namespace uidriver
