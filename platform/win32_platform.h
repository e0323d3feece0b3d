// The platform as the running program meets it: every method makes the
// Win32 call it is named after (ANSI forms).
#ifndef SETUP_PLATFORM_WIN32_PLATFORM_H_
#define SETUP_PLATFORM_WIN32_PLATFORM_H_

#include "platform/platform.h"

namespace setup {

class Win32Platform : public Platform {
 public:
  uint32_t GetVersion() override;
  unsigned GetWindowsDirectoryA(char* buffer, unsigned size) override;
  unsigned GetSystemDirectoryA(char* buffer, unsigned size) override;
  unsigned GetModuleFileNameA(InstanceHandle module, char* buffer,
                             unsigned size) override;
  int SetCurrentDirectoryA(const char* path) override;
  unsigned GetCurrentDirectoryA(unsigned size, char* buffer) override;
  int IsDBCSLeadByte(unsigned char byte) override;
  uint32_t GetLastError() override;
  FindHandle FindFirstFileA(const char* pattern, FindData* data) override;
  int FindNextFileA(FindHandle find, FindData* data) override;
  void FindClose(FindHandle find) override;
  int CreateDirectoryA(const char* path) override;
  int RemoveDirectoryA(const char* path) override;
  int DeleteFileA(const char* path) override;
  int CopyFileA(const char* from, const char* to, int failIfExists) override;
  int SetFileAttributesA(const char* path, uint32_t attributes) override;
  int MoveFileExA(const char* from, const char* to, uint32_t flags) override;
  unsigned GetShortPathNameA(const char* longPath, char* buffer,
                            unsigned size) override;
  unsigned GetFullPathNameA(const char* path, unsigned size,
                           char* buffer) override;
  int GetDiskFreeSpaceA(const char* root, uint32_t* sectorsPerCluster,
                       uint32_t* bytesPerSector, uint32_t* freeClusters,
                       uint32_t* totalClusters) override;
  int OpenFileReadWrite(const char* path) override;
  long SeekFile(int file, long offset, int origin) override;
  unsigned ReadFile(int file, void* buffer, unsigned count) override;
  unsigned WriteFile(int file, const void* buffer, unsigned count) override;
  void CloseFile(int file) override;
  void* GlobalAlloc(size_t bytes) override;
  void GlobalFree(void* block) override;
  unsigned GetPrivateProfileStringA(const char* section, const char* key,
                                   const char* fallback, char* buffer,
                                   unsigned size, const char* file) override;
  unsigned GetPrivateProfileSectionA(const char* section, char* buffer,
                                    unsigned size, const char* file) override;
  int WritePrivateProfileStringA(const char* section, const char* key,
                                const char* value, const char* file) override;
  int WritePrivateProfileSectionA(const char* section, const char* lines,
                                 const char* file) override;
  long RegOpenKeyExA(KeyHandle parent, const char* subKey, uint32_t access,
                    KeyHandle* result) override;
  long RegCreateKeyExA(KeyHandle parent, const char* subKey, uint32_t access,
                      KeyHandle* result) override;
  long RegQueryValueExA(KeyHandle key, const char* name, uint32_t* type,
                       void* data, uint32_t* size) override;
  long RegSetValueExA(KeyHandle key, const char* name, uint32_t type,
                     const void* data, uint32_t size) override;
  long RegEnumKeyA(KeyHandle key, uint32_t index, char* name,
                  uint32_t size) override;
  long RegDeleteKeyA(KeyHandle parent, const char* subKey) override;
  long RegCloseKey(KeyHandle key) override;
  int MessageBoxA(WindowHandle owner, const char* text, const char* caption,
                 uint32_t flags) override;
  unsigned WinExec(const char* commandLine, int show) override;
  uintptr_t ShellExecuteA(WindowHandle owner, const char* verb, const char* file,
                         const char* parameters, const char* directory,
                         int show) override;
  long CoInitialize() override;
  void CoUninitialize() override;
  // One link object lives at a time: the previous one must have been
  // released before the next is created.
  ShellLink* CreateShellLink() override;
  int MultiByteToWideChar(const char* text, char16_t* out,
                          int outCount) override;
  unsigned DdeInitializeA(uint32_t* instance, DdeCallbackFn callback,
                         uint32_t flags) override;
  void* DdeCreateStringHandleA(uint32_t instance, const char* text) override;
  int DdeFreeStringHandle(uint32_t instance, void* handle) override;
  void* DdeConnect(uint32_t instance, void* service, void* topic) override;
  uintptr_t DdeClientTransaction(const void* data, uint32_t length,
                                 void* conversation, void* item,
                                 unsigned format, unsigned type,
                                 uint32_t timeout) override;
};

}  // namespace setup

#endif  // SETUP_PLATFORM_WIN32_PLATFORM_H_
