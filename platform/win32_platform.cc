#include "platform/win32_platform.h"

#include <windows.h>
#include <ddeml.h>
#include <objbase.h>
#include <shellapi.h>
#include <shlobj.h>

namespace setup {

static_assert(kMbIconError == MB_ICONERROR && kMbYesNoCancel == MB_YESNOCANCEL &&
                  kMbIconQuestion == MB_ICONQUESTION && kMbOkCancel == MB_OKCANCEL &&
                  kMbIconInformation == MB_ICONINFORMATION && kMbYesNo == MB_YESNO,
              "message box flags");
static_assert(kIdYes == IDYES && kIdNo == IDNO && kIdCancel == IDCANCEL && kIdOk == IDOK,
              "message box answers");
static_assert(kErrorSharingViolation == ERROR_SHARING_VIOLATION &&
                  kErrorFileExists == ERROR_FILE_EXISTS && kErrorMoreData == ERROR_MORE_DATA &&
                  kErrorNoMoreItems == ERROR_NO_MORE_ITEMS,
              "error codes");
static_assert(kFileAttributeDirectory == FILE_ATTRIBUTE_DIRECTORY &&
                  kFileAttributeNormal == FILE_ATTRIBUTE_NORMAL &&
                  kFileAttributeReadOnly == FILE_ATTRIBUTE_READONLY,
              "file attributes");
static_assert(kMoveFileDelayUntilReboot == MOVEFILE_DELAY_UNTIL_REBOOT, "move flags");
static_assert(kKeyRead == KEY_READ && kKeyWrite == KEY_WRITE && kKeyAllAccess == KEY_ALL_ACCESS &&
                  kRegSz == REG_SZ,
              "registry");
static_assert(kSwShowNormal == SW_SHOWNORMAL && kSwHide == SW_HIDE && kSwShow == SW_SHOW,
              "show commands");
static_assert(kAppCmdClientOnly == APPCMD_CLIENTONLY && kXtypExecute == XTYP_EXECUTE &&
                  kXtypDisconnect == XTYP_DISCONNECT && kCfText == CF_TEXT &&
                  kDmlErrNoError == DMLERR_NO_ERROR,
              "DDE");
static_assert(kHfileError == HFILE_ERROR && kSeekSet == FILE_BEGIN && kSeekEnd == FILE_END,
              "old-style files");
static_assert(sizeof(char16_t) == sizeof(OLECHAR), "wide characters");

namespace {

HKEY Key(KeyHandle key) { return reinterpret_cast<HKEY>(key); }

void CopyFindData(const WIN32_FIND_DATAA& from, FindData* to) {
  to->attributes = from.dwFileAttributes;
  lstrcpynA(to->name, from.cFileName, sizeof to->name);
}

DdeCallbackFn g_ddeCallback = nullptr;

HDDEDATA CALLBACK DdeTrampoline(UINT type, UINT format, HCONV conversation, HSZ string1,
                                HSZ string2, HDDEDATA data, ULONG_PTR data1,
                                ULONG_PTR data2) {
  return reinterpret_cast<HDDEDATA>(g_ddeCallback(type, format, conversation, string1,
                                                  string2, data, data1, data2));
}

class Win32PersistFile : public PersistFile {
 public:
  long Save(const char16_t* path, int remember) override {
    return persist_->Save(reinterpret_cast<LPCOLESTR>(path), remember);
  }
  void Release() override {
    persist_->Release();
    persist_ = nullptr;
  }
  IPersistFile* persist_ = nullptr;
};

class Win32ShellLink : public ShellLink {
 public:
  long SetArguments(const char* arguments) override { return link_->SetArguments(arguments); }
  long SetPath(const char* path) override { return link_->SetPath(path); }
  long SetDescription(const char* text) override { return link_->SetDescription(text); }
  long SetWorkingDirectory(const char* folder) override {
    return link_->SetWorkingDirectory(folder);
  }
  PersistFile* QueryPersistFile() override {
    void* persist = nullptr;
    if (FAILED(link_->QueryInterface(IID_IPersistFile, &persist)) || persist == nullptr) {
      return nullptr;
    }
    persistFile_.persist_ = static_cast<IPersistFile*>(persist);
    return &persistFile_;
  }
  void Release() override {
    link_->Release();
    link_ = nullptr;
  }
  IShellLinkA* link_ = nullptr;
  Win32PersistFile persistFile_;
};

Win32ShellLink g_shellLink;

}  // namespace

uint32_t Win32Platform::GetVersion() { return ::GetVersion(); }

unsigned Win32Platform::GetWindowsDirectoryA(char* buffer, unsigned size) {
  return ::GetWindowsDirectoryA(buffer, size);
}

unsigned Win32Platform::GetSystemDirectoryA(char* buffer, unsigned size) {
  return ::GetSystemDirectoryA(buffer, size);
}

unsigned Win32Platform::GetModuleFileNameA(InstanceHandle module, char* buffer,
                                          unsigned size) {
  return ::GetModuleFileNameA(static_cast<HMODULE>(module), buffer, size);
}

int Win32Platform::SetCurrentDirectoryA(const char* path) {
  return ::SetCurrentDirectoryA(path) ? 1 : 0;
}

unsigned Win32Platform::GetCurrentDirectoryA(unsigned size, char* buffer) {
  return ::GetCurrentDirectoryA(size, buffer);
}

int Win32Platform::IsDBCSLeadByte(unsigned char byte) { return ::IsDBCSLeadByte(byte) ? 1 : 0; }

uint32_t Win32Platform::GetLastError() { return ::GetLastError(); }

FindHandle Win32Platform::FindFirstFileA(const char* pattern, FindData* data) {
  WIN32_FIND_DATAA found;
  HANDLE find = ::FindFirstFileA(pattern, &found);
  if (find == INVALID_HANDLE_VALUE) return nullptr;
  CopyFindData(found, data);
  return find;
}

int Win32Platform::FindNextFileA(FindHandle find, FindData* data) {
  WIN32_FIND_DATAA found;
  if (!::FindNextFileA(find, &found)) return 0;
  CopyFindData(found, data);
  return 1;
}

void Win32Platform::FindClose(FindHandle find) { ::FindClose(find); }

int Win32Platform::CreateDirectoryA(const char* path) {
  return ::CreateDirectoryA(path, nullptr) ? 1 : 0;
}

int Win32Platform::RemoveDirectoryA(const char* path) {
  return ::RemoveDirectoryA(path) ? 1 : 0;
}

int Win32Platform::DeleteFileA(const char* path) { return ::DeleteFileA(path) ? 1 : 0; }

int Win32Platform::CopyFileA(const char* from, const char* to, int failIfExists) {
  return ::CopyFileA(from, to, failIfExists) ? 1 : 0;
}

int Win32Platform::SetFileAttributesA(const char* path, uint32_t attributes) {
  return ::SetFileAttributesA(path, attributes) ? 1 : 0;
}

int Win32Platform::MoveFileExA(const char* from, const char* to, uint32_t flags) {
  return ::MoveFileExA(from, to, flags) ? 1 : 0;
}

unsigned Win32Platform::GetShortPathNameA(const char* longPath, char* buffer, unsigned size) {
  return ::GetShortPathNameA(longPath, buffer, size);
}

unsigned Win32Platform::GetFullPathNameA(const char* path, unsigned size, char* buffer) {
  return ::GetFullPathNameA(path, size, buffer, nullptr);
}

int Win32Platform::GetDiskFreeSpaceA(const char* root, uint32_t* sectorsPerCluster,
                                    uint32_t* bytesPerSector, uint32_t* freeClusters,
                                    uint32_t* totalClusters) {
  DWORD spc = 0, bps = 0, free = 0, total = 0;
  if (!::GetDiskFreeSpaceA(root, &spc, &bps, &free, &total)) return 0;
  *sectorsPerCluster = spc;
  *bytesPerSector = bps;
  *freeClusters = free;
  *totalClusters = total;
  return 1;
}

int Win32Platform::OpenFileReadWrite(const char* path) {
  OFSTRUCT info;
  return static_cast<int>(::OpenFile(path, &info, OF_READWRITE));
}

long Win32Platform::SeekFile(int file, long offset, int origin) {
  return ::_llseek(static_cast<HFILE>(file), offset, origin);
}

unsigned Win32Platform::ReadFile(int file, void* buffer, unsigned count) {
  return ::_lread(static_cast<HFILE>(file), buffer, count);
}

unsigned Win32Platform::WriteFile(int file, const void* buffer, unsigned count) {
  return ::_lwrite(static_cast<HFILE>(file), static_cast<LPCCH>(buffer), count);
}

void Win32Platform::CloseFile(int file) { ::_lclose(static_cast<HFILE>(file)); }

void* Win32Platform::GlobalAlloc(size_t bytes) { return ::GlobalAlloc(GMEM_FIXED, bytes); }

void Win32Platform::GlobalFree(void* block) { ::GlobalFree(block); }

unsigned Win32Platform::GetPrivateProfileStringA(const char* section, const char* key,
                                                const char* fallback, char* buffer,
                                                unsigned size, const char* file) {
  return ::GetPrivateProfileStringA(section, key, fallback, buffer, size, file);
}

unsigned Win32Platform::GetPrivateProfileSectionA(const char* section, char* buffer,
                                                 unsigned size, const char* file) {
  return ::GetPrivateProfileSectionA(section, buffer, size, file);
}

int Win32Platform::WritePrivateProfileStringA(const char* section, const char* key,
                                             const char* value, const char* file) {
  return ::WritePrivateProfileStringA(section, key, value, file) ? 1 : 0;
}

int Win32Platform::WritePrivateProfileSectionA(const char* section, const char* lines,
                                              const char* file) {
  return ::WritePrivateProfileSectionA(section, lines, file) ? 1 : 0;
}

long Win32Platform::RegOpenKeyExA(KeyHandle parent, const char* subKey, uint32_t access,
                                 KeyHandle* result) {
  HKEY key = nullptr;
  const LONG status = ::RegOpenKeyExA(Key(parent), subKey, 0, access, &key);
  if (status == ERROR_SUCCESS) *result = reinterpret_cast<KeyHandle>(key);
  return status;
}

long Win32Platform::RegCreateKeyExA(KeyHandle parent, const char* subKey, uint32_t access,
                                   KeyHandle* result) {
  HKEY key = nullptr;
  DWORD disposition = 0;
  const LONG status = ::RegCreateKeyExA(Key(parent), subKey, 0, nullptr, REG_OPTION_NON_VOLATILE,
                                        access, nullptr, &key, &disposition);
  if (status == ERROR_SUCCESS) *result = reinterpret_cast<KeyHandle>(key);
  return status;
}

long Win32Platform::RegQueryValueExA(KeyHandle key, const char* name, uint32_t* type,
                                    void* data, uint32_t* size) {
  DWORD valueType = 0;
  DWORD valueSize = size != nullptr ? *size : 0;
  const LONG status = ::RegQueryValueExA(Key(key), name, nullptr, &valueType,
                                         static_cast<BYTE*>(data), &valueSize);
  if (type != nullptr) *type = valueType;
  if (size != nullptr) *size = valueSize;
  return status;
}

long Win32Platform::RegSetValueExA(KeyHandle key, const char* name, uint32_t type,
                                  const void* data, uint32_t size) {
  return ::RegSetValueExA(Key(key), name, 0, type, static_cast<const BYTE*>(data), size);
}

long Win32Platform::RegEnumKeyA(KeyHandle key, uint32_t index, char* name, uint32_t size) {
  return ::RegEnumKeyA(Key(key), index, name, size);
}

long Win32Platform::RegDeleteKeyA(KeyHandle parent, const char* subKey) {
  return ::RegDeleteKeyA(Key(parent), subKey);
}

long Win32Platform::RegCloseKey(KeyHandle key) { return ::RegCloseKey(Key(key)); }

int Win32Platform::MessageBoxA(WindowHandle owner, const char* text, const char* caption,
                              uint32_t flags) {
  return ::MessageBoxA(static_cast<HWND>(owner), text, caption, flags);
}

unsigned Win32Platform::WinExec(const char* commandLine, int show) {
  return ::WinExec(commandLine, show);
}

uintptr_t Win32Platform::ShellExecuteA(WindowHandle owner, const char* verb, const char* file,
                                      const char* parameters, const char* directory,
                                      int show) {
  return reinterpret_cast<uintptr_t>(
      ::ShellExecuteA(static_cast<HWND>(owner), verb, file, parameters, directory, show));
}

long Win32Platform::CoInitialize() { return ::CoInitialize(nullptr); }

void Win32Platform::CoUninitialize() { ::CoUninitialize(); }

ShellLink* Win32Platform::CreateShellLink() {
  void* link = nullptr;
  if (FAILED(::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                &link)) ||
      link == nullptr) {
    return nullptr;
  }
  g_shellLink.link_ = static_cast<IShellLinkA*>(link);
  return &g_shellLink;
}

int Win32Platform::MultiByteToWideChar(const char* text, char16_t* out, int outCount) {
  return ::MultiByteToWideChar(CP_ACP, 0, text, -1, reinterpret_cast<LPWSTR>(out), outCount);
}

unsigned Win32Platform::DdeInitializeA(uint32_t* instance, DdeCallbackFn callback,
                                      uint32_t flags) {
  g_ddeCallback = callback;
  DWORD id = *instance;
  const UINT status = ::DdeInitializeA(&id, DdeTrampoline, flags, 0);
  *instance = id;
  return status;
}

void* Win32Platform::DdeCreateStringHandleA(uint32_t instance, const char* text) {
  return ::DdeCreateStringHandleA(instance, text, 0);
}

int Win32Platform::DdeFreeStringHandle(uint32_t instance, void* handle) {
  return ::DdeFreeStringHandle(instance, static_cast<HSZ>(handle)) ? 1 : 0;
}

void* Win32Platform::DdeConnect(uint32_t instance, void* service, void* topic) {
  return ::DdeConnect(instance, static_cast<HSZ>(service), static_cast<HSZ>(topic), nullptr);
}

uintptr_t Win32Platform::DdeClientTransaction(const void* data, uint32_t length,
                                              void* conversation, void* item, unsigned format,
                                              unsigned type, uint32_t timeout) {
  return reinterpret_cast<uintptr_t>(::DdeClientTransaction(
      static_cast<BYTE*>(const_cast<void*>(data)), length, static_cast<HCONV>(conversation),
      static_cast<HSZ>(item), format, type, timeout, nullptr));
}

}  // namespace setup
