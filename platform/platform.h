// The one narrow layer through which the setup logic reaches the operating
// system. Every method mirrors one Win32 call (ANSI form) with the same
// arguments and results, so that the logic reads like the calls it makes.
// Win32Platform (win32_platform.h) makes the real calls; FakePlatform
// (fake_platform.h) keeps files, registry and answers in memory for native
// tests and can inject faults.
#ifndef SETUP_PLATFORM_PLATFORM_H_
#define SETUP_PLATFORM_PLATFORM_H_

#include <stddef.h>
#include <stdint.h>

#include "platform/win_constants.h"

namespace setup {

typedef void* WindowHandle;    // HWND
typedef void* InstanceHandle;  // HINSTANCE
typedef void* FindHandle;      // search handle; nullptr when nothing was found
typedef uintptr_t KeyHandle;   // HKEY, same bits as the Win32 value

// The predefined root keys, sign-extended as Win32 defines them.
constexpr KeyHandle kHkeyClassesRoot =
    static_cast<KeyHandle>(static_cast<intptr_t>(INT32_MIN + 0));
constexpr KeyHandle kHkeyCurrentUser =
    static_cast<KeyHandle>(static_cast<intptr_t>(INT32_MIN + 1));
constexpr KeyHandle kHkeyLocalMachine =
    static_cast<KeyHandle>(static_cast<intptr_t>(INT32_MIN + 2));
constexpr KeyHandle kHkeyUsers =
    static_cast<KeyHandle>(static_cast<intptr_t>(INT32_MIN + 3));

// One entry of a folder listing (the fields of WIN32_FIND_DATAA we use).
struct FindData {
  uint32_t attributes;
  char name[260];
};

// A ShellLink object asked for its IShellLinkA interface. Methods return
// HRESULTs (negative on failure). Release() ends the object's use by the
// caller; the object must not be touched afterwards.
class PersistFile {
 public:
  virtual long Save(const char16_t* path, int remember) = 0;
  virtual void Release() = 0;

 protected:
  ~PersistFile() = default;
};

class ShellLink {
 public:
  virtual long SetArguments(const char* arguments) = 0;
  virtual long SetPath(const char* path) = 0;
  virtual long SetDescription(const char* description) = 0;
  virtual long SetWorkingDirectory(const char* folder) = 0;
  // IShellLinkA::QueryInterface(IID_IPersistFile): nullptr when refused.
  virtual PersistFile* QueryPersistFile() = 0;
  virtual void Release() = 0;

 protected:
  ~ShellLink() = default;
};

// DDEML callback as the logic writes it; the Win32 layer adapts the calling
// convention. Arguments: type, format, conversation, two string handles,
// data handle, two data words.
typedef uintptr_t (*DdeCallbackFn)(unsigned type, unsigned format,
                                   void* conversation, void* string1,
                                   void* string2, void* data,
                                   uintptr_t data1, uintptr_t data2);

class Platform {
 public:
  // --- System facts -------------------------------------------------------
  virtual uint32_t GetVersion() = 0;
  virtual unsigned GetWindowsDirectoryA(char* buffer, unsigned size) = 0;
  virtual unsigned GetSystemDirectoryA(char* buffer, unsigned size) = 0;
  virtual unsigned GetModuleFileNameA(InstanceHandle module, char* buffer,
                                     unsigned size) = 0;
  virtual int SetCurrentDirectoryA(const char* path) = 0;
  virtual unsigned GetCurrentDirectoryA(unsigned size, char* buffer) = 0;
  // IsDBCSLeadByte for the ANSI code page.
  virtual int IsDBCSLeadByte(unsigned char byte) = 0;
  virtual uint32_t GetLastError() = 0;

  // --- Files and folders ----------------------------------------------------
  // FindFirstFileA; nullptr stands for INVALID_HANDLE_VALUE.
  virtual FindHandle FindFirstFileA(const char* pattern, FindData* data) = 0;
  virtual int FindNextFileA(FindHandle find, FindData* data) = 0;
  virtual void FindClose(FindHandle find) = 0;
  virtual int CreateDirectoryA(const char* path) = 0;
  virtual int RemoveDirectoryA(const char* path) = 0;
  virtual int DeleteFileA(const char* path) = 0;
  virtual int CopyFileA(const char* from, const char* to, int failIfExists) = 0;
  virtual int SetFileAttributesA(const char* path, uint32_t attributes) = 0;
  virtual int MoveFileExA(const char* from, const char* to, uint32_t flags) = 0;
  virtual unsigned GetShortPathNameA(const char* longPath, char* buffer,
                                    unsigned size) = 0;
  virtual unsigned GetFullPathNameA(const char* path, unsigned size,
                                   char* buffer) = 0;
  virtual int GetDiskFreeSpaceA(const char* root, uint32_t* sectorsPerCluster,
                               uint32_t* bytesPerSector, uint32_t* freeClusters,
                               uint32_t* totalClusters) = 0;
  // Old-style file access: OpenFile(OF_READWRITE) without creating the file,
  // _llseek, _lread, _lwrite, _lclose. Open returns kHfileError on failure.
  virtual int OpenFileReadWrite(const char* path) = 0;
  virtual long SeekFile(int file, long offset, int origin) = 0;
  virtual unsigned ReadFile(int file, void* buffer, unsigned count) = 0;
  virtual unsigned WriteFile(int file, const void* buffer, unsigned count) = 0;
  virtual void CloseFile(int file) = 0;
  // GlobalAlloc(GMEM_FIXED) and GlobalFree.
  virtual void* GlobalAlloc(size_t bytes) = 0;
  virtual void GlobalFree(void* block) = 0;

  // --- Profile strings ------------------------------------------------------
  virtual unsigned GetPrivateProfileStringA(const char* section, const char* key,
                                           const char* fallback, char* buffer,
                                           unsigned size, const char* file) = 0;
  // GetPrivateProfileSectionA: every "key=value" of the section in file
  // order, each ended by a NUL, the list ended by a second NUL.
  virtual unsigned GetPrivateProfileSectionA(const char* section, char* buffer,
                                            unsigned size, const char* file) = 0;
  virtual int WritePrivateProfileStringA(const char* section, const char* key,
                                        const char* value, const char* file) = 0;
  // WritePrivateProfileSectionA: replaces the lines of the section (creating
  // it when missing) with the "key=value" strings of `lines`, each ended by
  // a NUL, the list ended by a second NUL; entries sharing a key all stay.
  virtual int WritePrivateProfileSectionA(const char* section, const char* lines,
                                         const char* file) = 0;

  // --- Registry (results are Win32 error codes, 0 for success) --------------
  virtual long RegOpenKeyExA(KeyHandle parent, const char* subKey, uint32_t access,
                            KeyHandle* result) = 0;
  virtual long RegCreateKeyExA(KeyHandle parent, const char* subKey,
                              uint32_t access, KeyHandle* result) = 0;
  virtual long RegQueryValueExA(KeyHandle key, const char* name, uint32_t* type,
                               void* data, uint32_t* size) = 0;
  virtual long RegSetValueExA(KeyHandle key, const char* name, uint32_t type,
                             const void* data, uint32_t size) = 0;
  virtual long RegEnumKeyA(KeyHandle key, uint32_t index, char* name,
                          uint32_t size) = 0;
  virtual long RegDeleteKeyA(KeyHandle parent, const char* subKey) = 0;
  virtual long RegCloseKey(KeyHandle key) = 0;

  // --- User interface and processes -----------------------------------------
  // MessageBoxA; a null caption shows the platform's default caption.
  virtual int MessageBoxA(WindowHandle owner, const char* text,
                         const char* caption, uint32_t flags) = 0;
  virtual unsigned WinExec(const char* commandLine, int show) = 0;
  virtual uintptr_t ShellExecuteA(WindowHandle owner, const char* verb,
                                 const char* file, const char* parameters,
                                 const char* directory, int show) = 0;

  // --- Shell links ----------------------------------------------------------
  virtual long CoInitialize() = 0;
  virtual void CoUninitialize() = 0;
  // CoCreateInstance(CLSID_ShellLink, IID_IShellLinkA); nullptr on failure.
  virtual ShellLink* CreateShellLink() = 0;
  // MultiByteToWideChar(CP_ACP, 0, text, -1, out, outCount).
  virtual int MultiByteToWideChar(const char* text, char16_t* out,
                                  int outCount) = 0;

  // --- DDE Management Library (client) ---------------------------------------
  virtual unsigned DdeInitializeA(uint32_t* instance, DdeCallbackFn callback,
                                 uint32_t flags) = 0;
  virtual void* DdeCreateStringHandleA(uint32_t instance, const char* text) = 0;
  virtual int DdeFreeStringHandle(uint32_t instance, void* handle) = 0;
  virtual void* DdeConnect(uint32_t instance, void* service, void* topic) = 0;
  // DdeClientTransaction; returns the transaction's result as an integer.
  virtual uintptr_t DdeClientTransaction(const void* data, uint32_t length,
                                         void* conversation, void* item,
                                         unsigned format, unsigned type,
                                         uint32_t timeout) = 0;

 protected:
  ~Platform() = default;
};

// The platform that the logic calls. Set once by the entry point (or by a
// test fixture) before any operation runs.
Platform& Sys();
void SetPlatform(Platform* platform);

}  // namespace setup

#endif  // SETUP_PLATFORM_PLATFORM_H_
