// NOTES.EXE, the sample product that SETUP.EXE installs: a small viewer that
// shows a text file (Shift JIS, as written on Japanese systems) in a
// read-only edit control.
//
//   NOTES.EXE              shows README.TXT from the program's own folder
//   NOTES.EXE file         shows `file` (quotes around it are dropped); a
//                          relative name is looked up in the current folder,
//                          then in the program's folder
//
// It remembers the last file shown in the value LastFile of the key
// HKEY_CURRENT_USER\Software\Sample\Notes, which the sample's setup
// description lists for removal.
#include <windows.h>
#include <string.h>

namespace {

const char kAppName[] = "サンプル メモ表示";
const char kClassName[] = "SampleNotesWindow";
const char kSettingsKey[] = "Software\\Sample\\Notes";
const int kEditId = 100;
const DWORD kMaxFileBytes = 1 << 20;

HWND g_edit = nullptr;

// Copies `text` into `out` (size `size`) with the surrounding blanks and one
// pair of double quotes removed.
void Unquote(const char* text, char* out, size_t size) {
  while (*text == ' ' || *text == '\t') ++text;
  size_t len = strlen(text);
  while (len > 0 && (text[len - 1] == ' ' || text[len - 1] == '\t')) --len;
  if (len >= 2 && text[0] == '"' && text[len - 1] == '"') {
    ++text;
    len -= 2;
  }
  if (len >= size) len = size - 1;
  memcpy(out, text, len);
  out[len] = '\0';
}

// The folder of this program, ending with a backslash (found by a scan that
// steps over double-byte characters, whose second byte may be 0x5C).
void ProgramFolder(char* out, size_t size) {
  GetModuleFileNameA(nullptr, out, static_cast<DWORD>(size));
  char* last = nullptr;
  for (char* p = out; *p; p = CharNextA(p)) {
    if (*p == '\\') last = p;
  }
  if (last) last[1] = '\0';
}

// Resolves the file to show into `path` (MAX_PATH bytes).
void ChooseFile(const char* command_line, char* path) {
  char name[MAX_PATH];
  Unquote(command_line, name, sizeof(name));
  if (!*name) lstrcpynA(name, "README.TXT", MAX_PATH);
  if (GetFileAttributesA(name) != INVALID_FILE_ATTRIBUTES) {
    if (!GetFullPathNameA(name, MAX_PATH, path, nullptr)) {
      lstrcpynA(path, name, MAX_PATH);
    }
    return;
  }
  char folder[MAX_PATH];
  ProgramFolder(folder, sizeof(folder));
  if (strlen(folder) + strlen(name) < MAX_PATH) {
    lstrcpyA(path, folder);
    lstrcatA(path, name);
  } else {
    lstrcpynA(path, name, MAX_PATH);
  }
}

// Reads up to kMaxFileBytes of `path` into a new buffer with every line
// ended by CR LF (the edit control shows bare LF as a box). Null when the
// file cannot be read. The caller frees the buffer with HeapFree.
char* ReadText(const char* path) {
  HANDLE file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr,
                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return nullptr;
  DWORD size = GetFileSize(file, nullptr);
  if (size == INVALID_FILE_SIZE || size > kMaxFileBytes) size = kMaxFileBytes;
  HANDLE heap = GetProcessHeap();
  char* raw = static_cast<char*>(HeapAlloc(heap, 0, size + 1));
  char* text = static_cast<char*>(HeapAlloc(heap, 0, size * 2 + 1));
  DWORD read = 0;
  BOOL ok = raw && text && ReadFile(file, raw, size, &read, nullptr);
  CloseHandle(file);
  if (!ok) {
    if (raw) HeapFree(heap, 0, raw);
    if (text) HeapFree(heap, 0, text);
    return nullptr;
  }
  DWORD out = 0;
  for (DWORD i = 0; i < read; ++i) {
    if (raw[i] == '\n' && (i == 0 || raw[i - 1] != '\r')) text[out++] = '\r';
    text[out++] = raw[i];
  }
  text[out] = '\0';
  HeapFree(heap, 0, raw);
  return text;
}

void RememberFile(const char* path) {
  HKEY key;
  if (RegCreateKeyExA(HKEY_CURRENT_USER, kSettingsKey, 0, nullptr, 0,
                      KEY_WRITE, nullptr, &key, nullptr) != ERROR_SUCCESS) {
    return;
  }
  RegSetValueExA(key, "LastFile", 0, REG_SZ,
                 reinterpret_cast<const BYTE*>(path),
                 static_cast<DWORD>(strlen(path) + 1));
  RegCloseKey(key);
}

void ShowFile(HWND window, const char* path) {
  char caption[MAX_PATH + 64];
  lstrcpyA(caption, kAppName);
  lstrcatA(caption, " - ");
  const char* name = path;
  for (const char* p = path; *p; p = CharNextA(p)) {
    if (*p == '\\') name = p + 1;
  }
  lstrcatA(caption, name);
  SetWindowTextA(window, caption);

  char* text = ReadText(path);
  if (text) {
    SetWindowTextA(g_edit, text);
    HeapFree(GetProcessHeap(), 0, text);
    RememberFile(path);
  } else {
    char message[MAX_PATH + 64];
    lstrcpyA(message, path);
    lstrcatA(message, " を開けません。");
    SetWindowTextA(g_edit, message);
  }
}

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wparam,
                            LPARAM lparam) {
  switch (message) {
    case WM_CREATE:
      g_edit = CreateWindowExA(
          WS_EX_CLIENTEDGE, "EDIT", "",
          WS_CHILD | WS_VISIBLE | WS_VSCROLL | ES_MULTILINE | ES_READONLY |
              ES_AUTOVSCROLL,
          0, 0, 0, 0, window, reinterpret_cast<HMENU>(kEditId),
          reinterpret_cast<CREATESTRUCTA*>(lparam)->hInstance, nullptr);
      SendMessageA(g_edit, WM_SETFONT,
                   reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)),
                   FALSE);
      return 0;
    case WM_SIZE:
      MoveWindow(g_edit, 0, 0, LOWORD(lparam), HIWORD(lparam), TRUE);
      return 0;
    case WM_SETFOCUS:
      SetFocus(g_edit);
      return 0;
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
  }
  return DefWindowProcA(window, message, wparam, lparam);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR command_line,
                   int show) {
  WNDCLASSA window_class = {};
  window_class.lpfnWndProc = WindowProc;
  window_class.hInstance = instance;
  window_class.hIcon = LoadIconA(nullptr, IDI_APPLICATION);
  window_class.hCursor = LoadCursorA(nullptr, IDC_ARROW);
  window_class.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  window_class.lpszClassName = kClassName;
  if (!RegisterClassA(&window_class)) return 1;

  HWND window = CreateWindowExA(0, kClassName, kAppName, WS_OVERLAPPEDWINDOW,
                                CW_USEDEFAULT, CW_USEDEFAULT, 560, 400,
                                nullptr, nullptr, instance, nullptr);
  if (!window) return 1;
  char path[MAX_PATH];
  ChooseFile(command_line, path);
  ShowFile(window, path);
  ShowWindow(window, show);
  UpdateWindow(window);

  MSG message;
  while (GetMessageA(&message, nullptr, 0, 0) > 0) {
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
  return 0;
}
