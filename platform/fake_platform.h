// An in-memory platform for native tests: drives, folders and files, the
// registry, profile files, message boxes with scripted answers, started
// processes, shell links and Program Manager DDE, all recorded, with faults
// that tests inject. Behaviour follows the Win32 calls it stands in for
// (error codes, a name ending in a backslash finds nothing, and so on).
#ifndef SETUP_PLATFORM_FAKE_PLATFORM_H_
#define SETUP_PLATFORM_FAKE_PLATFORM_H_

#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "platform/platform.h"

namespace setup {

class FakePlatform : public Platform {
 public:
  // Starts with drive C: holding C:\WINDOWS and C:\WINDOWS\SYSTEM, the
  // current directory C:\, version 4 (the new shell), a large free space,
  // and HKEY_CURRENT_USER's Shell Folders values for Programs, Desktop and
  // Startup pointing at existing folders below C:\WINDOWS.
  FakePlatform();
  virtual ~FakePlatform();

  // --- Test set-up and inspection -----------------------------------------
  struct Drive {
    bool readOnly = false;
    bool full = false;  // every write fails with ERROR_DISK_FULL
    uint32_t sectorsPerCluster = 8;
    uint32_t bytesPerSector = 512;
    uint32_t freeClusters = 0x00FFFFFF;
    uint32_t totalClusters = 0x00FFFFFF;
  };
  // Adds (or replaces the settings of) a drive; its root folder exists.
  Drive& AddDrive(char letter);
  Drive& DriveOf(char letter);
  void AddFolder(const std::string& path);  // with every missing level
  void AddFile(const std::string& path, const std::string& content,
               uint32_t attributes = kFileAttributeArchive);
  bool Exists(const std::string& path) const;
  bool IsFolder(const std::string& path) const;
  std::string Content(const std::string& path) const;
  uint32_t Attributes(const std::string& path) const;
  // Every path below `folder` (files and folders, sorted), for assertions.
  std::vector<std::string> ListTree(const std::string& folder) const;
  // A locked file or folder behaves as held open without sharing by
  // another process: opening, overwriting or deleting it is a sharing
  // violation.
  void Lock(const std::string& path, bool locked = true);
  void SetShortName(const std::string& longPath, const std::string& shortPath);
  // The next `times` calls of the named method fail with `error` (method
  // names as in Platform, e.g. "CopyFileA", "CreateDirectoryA", "WriteFile",
  // "OpenFileReadWrite", "GlobalAlloc", "GetShortPathNameA", "MoveFileExA",
  // "RegCreateKeyExA"). `times` -1 means for ever.
  void FailNext(const std::string& method, uint32_t error, int times = 1);
  // How often a method was called (all methods are counted).
  int Calls(const std::string& method) const;

  // Registry. `path` is "HKEY_CURRENT_USER\Software\X" style.
  void AddKey(const std::string& path);
  void SetStringValue(const std::string& path, const std::string& name,
                      const std::string& value);
  bool KeyExists(const std::string& path) const;
  // The value's bytes as stored (for REG_SZ written by the program, with
  // the NUL that its size counted); `found` false when it is missing.
  std::string Value(const std::string& path, const std::string& name,
                    bool* found = nullptr, uint32_t* type = nullptr) const;
  std::vector<std::string> ValueNames(const std::string& path) const;
  void DenyOpen(const std::string& path);    // RegOpenKeyExA fails
  void DenyDelete(const std::string& path);  // RegDeleteKeyA fails

  // Message boxes: every call is recorded; answers come from `answers`
  // (front first), else from `onMessageBox`, else IDOK for OK and OK/Cancel
  // boxes and IDYES for questions.
  struct MessageBoxCall {
    WindowHandle owner;
    std::string text;
    bool hasCaption;
    std::string caption;
    uint32_t flags;
  };
  std::vector<MessageBoxCall> messageBoxes;
  std::deque<int> answers;
  std::function<int(const MessageBoxCall&)> onMessageBox;

  // Processes.
  struct ExecCall {
    std::string commandLine;
    int show;
    std::string currentDirectory;
  };
  std::vector<ExecCall> winExecs;
  unsigned winExecResult = 33;
  struct ShellExecuteCall {
    WindowHandle owner;
    std::string verb;
    std::string file;
    std::string currentDirectory;
    int show;
  };
  std::vector<ShellExecuteCall> shellExecutes;

  // System facts.
  uint32_t version = 0x00000004;
  std::string windowsDirectory = "C:\\WINDOWS";
  std::string systemDirectory = "C:\\WINDOWS\\SYSTEM";
  std::string modulePath = "C:\\DISK1\\SETUP.EXE";
  std::string currentDirectory = "C:\\";

  // Deletions scheduled with MoveFileExA and the delay flag.
  std::vector<std::string> pendingDeletes;

  // Shell links. Every call on a link object is logged as
  // "<object number>:<Method>(<argument>)", objects numbered from 1.
  std::vector<std::string> linkLog;
  struct SavedLink {
    std::string path;
    bool hasArguments = false;
    std::string arguments;
    std::string description;
    std::string workingDirectory;
  };
  std::map<std::string, SavedLink> savedLinks;  // by upper-case link path
  int coInitializeCalls = 0;
  int coUninitializeCalls = 0;
  std::set<int> failCreateLink;      // object numbers whose creation fails
  std::set<int> refusePersistFile;   // object numbers without IPersistFile
  int linksCreated = 0;
  int liveLinks = 0;  // objects not yet released

  // Program Manager over DDE. Commands are recorded as sent, the NUL that
  // their length counts included.
  bool progmanRunning = true;
  unsigned ddeInitializeResult = kDmlErrNoError;
  std::vector<uint32_t> ddeInitializeInstances;  // the instance on entry
  std::vector<uint32_t> ddeInitializeFlags;      // the command flags
  std::vector<std::string> ddeCommands;
  uintptr_t ddeTransactionResult = 1;
  int ddeConnects = 0;
  // After this many commands (counted over the whole test) the server ends
  // the conversation: the callback receives XTYP_DISCONNECT. -1: never.
  int ddeDisconnectAfter = -1;
  int liveStringHandles = 0;

  // Leak checks.
  int OpenFinds() const { return static_cast<int>(finds_.size()); }
  int OpenKeys() const { return static_cast<int>(keys_.size()); }
  int OpenFiles() const { return static_cast<int>(files_.size()); }
  int LiveAllocations() const { return static_cast<int>(allocations_.size()); }

  // --- Platform -------------------------------------------------------------
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

  // Full path as the program would name it (relative paths taken from the
  // current directory); exposed for tests.
  std::string Resolve(const std::string& path) const;

 private:
  struct Node {
    std::string path;  // as first written, without a closing backslash
    bool folder = false;
    std::string data;
    uint32_t attributes = 0;
    bool locked = false;
  };
  struct Key {
    std::string path;
    std::map<std::string, std::pair<std::string, std::pair<uint32_t, std::string>>>
        values;  // upper name -> (name, (type, bytes))
    bool denyOpen = false;
    bool denyDelete = false;
  };
  struct Listing {
    std::vector<FindData> entries;
    size_t next = 0;
  };
  struct OpenFileState {
    std::string key;
    long position = 0;
  };
  class Link;
  class Persist;

  static std::string KeyOf(const std::string& path);
  bool Fail(const char* method);
  int SetError(uint32_t error);
  const Node* Find(const std::string& path) const;
  Node* Find(const std::string& path);
  std::string Parent(const std::string& key) const;
  Drive* DriveFor(const std::string& path);
  uint32_t WriteCheck(const std::string& path);  // 0 when writable
  std::string ShortPathOf(const std::string& path) const;
  std::string KeyPathOf(KeyHandle parent, const char* subKey) const;
  Key* FindKey(const std::string& upperPath);
  std::string TextOf(const char* file) const;
  // Replaces the text of the profile file `full` (created when missing).
  int StoreProfileText(const std::string& full, const std::string& text);

  std::map<std::string, Node> nodes_;  // by upper-case path
  std::map<char, Drive> drives_;
  std::map<std::string, std::string> shortNames_;  // upper long -> short
  std::map<std::string, std::pair<uint32_t, int>> failures_;
  std::map<std::string, int> calls_;
  uint32_t lastError_ = 0;
  std::map<FindHandle, std::unique_ptr<Listing>> finds_;
  std::map<std::string, Key> registry_;  // by upper-case full path
  std::map<KeyHandle, std::string> keys_;
  KeyHandle nextKey_ = 0x1000;
  std::map<int, OpenFileState> files_;
  int nextFile_ = 3;
  std::set<void*> allocations_;
  std::vector<std::unique_ptr<Link>> linkObjects_;
  std::vector<std::unique_ptr<std::string>> stringHandles_;
  DdeCallbackFn ddeCallback_ = nullptr;
  uintptr_t nextConversation_ = 0x100;
  int ddeCommandsSent_ = 0;
};

}  // namespace setup

#endif  // SETUP_PLATFORM_FAKE_PLATFORM_H_
