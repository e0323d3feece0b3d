#include "platform/fake_platform.h"

#include <stdlib.h>
#include <string.h>

#include <algorithm>

#include "platform/profile_reader.h"

namespace setup {
namespace {

bool IsLead(unsigned char byte) {
  return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
}

std::string Upper(const std::string& text) {
  std::string out = text;
  for (size_t i = 0; i < out.size(); ++i) {
    const unsigned char c = static_cast<unsigned char>(out[i]);
    if (IsLead(c)) {
      ++i;  // the trail byte keeps its value
    } else if (c >= 'a' && c <= 'z') {
      out[i] = static_cast<char>(c - 'a' + 'A');
    }
  }
  return out;
}

// Last path component (after the last real backslash).
std::string NameOf(const std::string& path) {
  size_t cut = std::string::npos;
  for (size_t i = 0; i < path.size(); ++i) {
    if (IsLead(static_cast<unsigned char>(path[i]))) {
      ++i;
    } else if (path[i] == '\\') {
      cut = i;
    }
  }
  return cut == std::string::npos ? path : path.substr(cut + 1);
}

// Position of the last real backslash, npos when none.
size_t LastBackslash(const std::string& path) {
  size_t cut = std::string::npos;
  for (size_t i = 0; i < path.size(); ++i) {
    if (IsLead(static_cast<unsigned char>(path[i]))) {
      ++i;
    } else if (path[i] == '\\') {
      cut = i;
    }
  }
  return cut;
}

unsigned CopyOut(const std::string& text, char* buffer, unsigned size) {
  if (text.size() + 1 > size) return static_cast<unsigned>(text.size() + 1);
  memcpy(buffer, text.c_str(), text.size() + 1);
  return static_cast<unsigned>(text.size());
}

const char* RootName(KeyHandle key) {
  if (key == kHkeyClassesRoot) return "HKEY_CLASSES_ROOT";
  if (key == kHkeyCurrentUser) return "HKEY_CURRENT_USER";
  if (key == kHkeyLocalMachine) return "HKEY_LOCAL_MACHINE";
  if (key == kHkeyUsers) return "HKEY_USERS";
  return nullptr;
}

}  // namespace

// --- Shell link objects -------------------------------------------------------

class FakePlatform::Persist : public PersistFile {
 public:
  explicit Persist(Link* link) : link_(link) {}
  long Save(const char16_t* path, int remember) override;
  void Release() override;

 private:
  Link* link_;
};

class FakePlatform::Link : public ShellLink {
 public:
  Link(FakePlatform* owner, int number)
      : owner_(owner), number_(number), persist_(this) {}
  long SetArguments(const char* arguments) override {
    Log("SetArguments", arguments);
    saved_.hasArguments = true;
    saved_.arguments = arguments;
    return 0;
  }
  long SetPath(const char* path) override {
    Log("SetPath", path);
    saved_.path = path;
    return 0;
  }
  long SetDescription(const char* description) override {
    Log("SetDescription", description);
    saved_.description = description;
    return 0;
  }
  long SetWorkingDirectory(const char* folder) override {
    Log("SetWorkingDirectory", folder);
    saved_.workingDirectory = folder;
    return 0;
  }
  PersistFile* QueryPersistFile() override {
    Log("QueryInterface", "IPersistFile");
    if (owner_->refusePersistFile.count(number_)) return nullptr;
    return &persist_;
  }
  void Release() override {
    Log("Release", "IShellLinkA");
    released_ = true;
    --owner_->liveLinks;
  }
  void Log(const char* method, const std::string& argument) {
    if (released_) argument.size();  // a released object must not be used
    owner_->linkLog.push_back(std::to_string(number_) + ":" + method + "(" +
                              argument + ")");
  }
  FakePlatform* owner_;
  int number_;
  bool released_ = false;
  SavedLink saved_;
  Persist persist_;
};

long FakePlatform::Persist::Save(const char16_t* path, int remember) {
  std::string bytes;
  for (const char16_t* p = path; *p != 0; ++p) bytes += static_cast<char>(*p);
  link_->Log("Save", bytes + (remember ? ",TRUE" : ",FALSE"));
  FakePlatform* owner = link_->owner_;
  const std::string full = owner->Resolve(bytes);
  const Node* parent = owner->Find(owner->Parent(KeyOf(full)));
  if (parent == nullptr || !parent->folder || owner->WriteCheck(full) != 0) {
    return static_cast<long>(0x80004005L);  // E_FAIL
  }
  owner->AddFile(full, "LNK:" + link_->saved_.path);
  SavedLink saved = link_->saved_;
  saved.path = link_->saved_.path;
  owner->savedLinks[KeyOf(full)] = saved;
  return 0;
}

void FakePlatform::Persist::Release() { link_->Log("Release", "IPersistFile"); }

// --- Set-up and inspection ------------------------------------------------------

FakePlatform::FakePlatform() {
  AddDrive('C');
  AddFolder(windowsDirectory);
  AddFolder(systemDirectory);
  const char* shellFolders =
      "HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\"
      "Explorer\\Shell Folders";
  AddFolder("C:\\WINDOWS\\Start Menu\\Programs\\Startup");
  AddFolder("C:\\WINDOWS\\Desktop");
  SetStringValue(shellFolders, "Programs", "C:\\WINDOWS\\Start Menu\\Programs");
  SetStringValue(shellFolders, "Desktop", "C:\\WINDOWS\\Desktop");
  SetStringValue(shellFolders, "Startup",
                 "C:\\WINDOWS\\Start Menu\\Programs\\Startup");
}

FakePlatform::~FakePlatform() {
  for (void* block : allocations_) free(block);
}

FakePlatform::Drive& FakePlatform::AddDrive(char letter) {
  const char upper = static_cast<char>(toupper(letter));
  Drive& drive = drives_[upper];
  Node& root = nodes_[std::string(1, upper) + ":"];
  root.path = std::string(1, upper) + ":";
  root.folder = true;
  root.attributes = kFileAttributeDirectory;
  return drive;
}

FakePlatform::Drive& FakePlatform::DriveOf(char letter) {
  return drives_[static_cast<char>(toupper(letter))];
}

void FakePlatform::AddFolder(const std::string& path) {
  const std::string full = Resolve(path);
  std::string key = KeyOf(full);
  std::string display = full;
  while (!display.empty() && display.back() == '\\') display.pop_back();
  // Create every level from the drive down.
  size_t start = 3;
  while (start <= display.size()) {
    size_t stop = display.find('\\', start);
    if (stop == std::string::npos) stop = display.size();
    const std::string level = display.substr(0, stop);
    Node& node = nodes_[KeyOf(level)];
    if (node.path.empty()) {
      node.path = level;
      node.folder = true;
      node.attributes = kFileAttributeDirectory;
    }
    start = stop + 1;
  }
}

void FakePlatform::AddFile(const std::string& path, const std::string& content,
                           uint32_t attributes) {
  const std::string full = Resolve(path);
  const size_t cut = LastBackslash(full);
  if (cut != std::string::npos && cut > 2) AddFolder(full.substr(0, cut));
  Node& node = nodes_[KeyOf(full)];
  node.path = full;
  node.folder = false;
  node.data = content;
  node.attributes = attributes;
}

bool FakePlatform::Exists(const std::string& path) const {
  return Find(Resolve(path)) != nullptr;
}

bool FakePlatform::IsFolder(const std::string& path) const {
  const Node* node = Find(Resolve(path));
  return node != nullptr && node->folder;
}

std::string FakePlatform::Content(const std::string& path) const {
  const Node* node = Find(Resolve(path));
  return node != nullptr ? node->data : std::string();
}

uint32_t FakePlatform::Attributes(const std::string& path) const {
  const Node* node = Find(Resolve(path));
  return node != nullptr ? node->attributes : 0;
}

std::vector<std::string> FakePlatform::ListTree(const std::string& folder) const {
  const std::string prefix = KeyOf(Resolve(folder)) + "\\";
  std::vector<std::string> out;
  for (const auto& entry : nodes_) {
    if (entry.first.compare(0, prefix.size(), prefix) == 0) {
      out.push_back(entry.second.path + (entry.second.folder ? "\\" : ""));
    }
  }
  return out;
}

void FakePlatform::Lock(const std::string& path, bool locked) {
  Node* node = Find(Resolve(path));
  if (node != nullptr) node->locked = locked;
}

void FakePlatform::SetShortName(const std::string& longPath,
                                const std::string& shortPath) {
  shortNames_[KeyOf(Resolve(longPath))] = shortPath;
}

void FakePlatform::FailNext(const std::string& method, uint32_t error, int times) {
  failures_[method] = std::make_pair(error, times);
}

int FakePlatform::Calls(const std::string& method) const {
  auto it = calls_.find(method);
  return it == calls_.end() ? 0 : it->second;
}

// --- Helpers -----------------------------------------------------------------------

std::string FakePlatform::KeyOf(const std::string& path) {
  std::string key = Upper(path);
  while (key.size() > 2 && key.back() == '\\') key.pop_back();
  return key;
}

std::string FakePlatform::Resolve(const std::string& path) const {
  if (path.size() >= 2 && path[1] == ':') return path;
  if (!path.empty() && path[0] == '\\') return currentDirectory.substr(0, 2) + path;
  std::string base = currentDirectory;
  if (base.empty() || base.back() != '\\') base += '\\';
  return base + path;
}

bool FakePlatform::Fail(const char* method) {
  ++calls_[method];
  auto it = failures_.find(method);
  if (it == failures_.end() || it->second.second == 0) return false;
  if (it->second.second > 0) --it->second.second;
  lastError_ = it->second.first;
  return true;
}

int FakePlatform::SetError(uint32_t error) {
  lastError_ = error;
  return 0;
}

const FakePlatform::Node* FakePlatform::Find(const std::string& path) const {
  auto it = nodes_.find(KeyOf(path));
  return it == nodes_.end() ? nullptr : &it->second;
}

FakePlatform::Node* FakePlatform::Find(const std::string& path) {
  auto it = nodes_.find(KeyOf(path));
  return it == nodes_.end() ? nullptr : &it->second;
}

std::string FakePlatform::Parent(const std::string& key) const {
  const size_t cut = LastBackslash(key);
  if (cut == std::string::npos) return std::string();
  return key.substr(0, cut);
}

FakePlatform::Drive* FakePlatform::DriveFor(const std::string& path) {
  if (path.size() < 2 || path[1] != ':') return nullptr;
  auto it = drives_.find(static_cast<char>(toupper(path[0])));
  return it == drives_.end() ? nullptr : &it->second;
}

uint32_t FakePlatform::WriteCheck(const std::string& path) {
  Drive* drive = DriveFor(path);
  if (drive == nullptr) return kErrorPathNotFound;
  if (drive->readOnly) return kErrorWriteProtect;
  if (drive->full) return kErrorDiskFull;
  return 0;
}

std::string FakePlatform::ShortPathOf(const std::string& full) const {
  std::string out = full.substr(0, 2);
  std::string sofar = full.substr(0, 2);
  size_t start = 3;
  while (start <= full.size()) {
    size_t stop = full.find('\\', start);
    if (stop == std::string::npos) stop = full.size();
    const std::string part = full.substr(start, stop - start);
    sofar += "\\" + part;
    out += "\\";
    auto named = shortNames_.find(KeyOf(sofar));
    if (named != shortNames_.end()) {
      out = named->second;
    } else {
      const size_t dot = part.rfind('.');
      const std::string base = part.substr(0, dot);
      const std::string ext = dot == std::string::npos ? "" : part.substr(dot + 1);
      const bool fits = base.size() <= 8 && ext.size() <= 3 &&
                        part.find(' ') == std::string::npos &&
                        std::count(part.begin(), part.end(), '.') <= 1;
      if (fits) {
        out += part;
      } else {
        std::string stem;
        for (char c : base) {
          if (c != ' ' && c != '.' && stem.size() < 6) stem += c;
        }
        out += Upper(stem) + "~1" + (ext.empty() ? "" : "." + Upper(ext.substr(0, 3)));
      }
    }
    if (stop == full.size()) break;
    start = stop + 1;
  }
  return out;
}

// --- System facts --------------------------------------------------------------------

uint32_t FakePlatform::GetVersion() {
  ++calls_["GetVersion"];
  return version;
}

unsigned FakePlatform::GetWindowsDirectoryA(char* buffer, unsigned size) {
  ++calls_["GetWindowsDirectoryA"];
  return CopyOut(windowsDirectory, buffer, size);
}

unsigned FakePlatform::GetSystemDirectoryA(char* buffer, unsigned size) {
  ++calls_["GetSystemDirectoryA"];
  return CopyOut(systemDirectory, buffer, size);
}

unsigned FakePlatform::GetModuleFileNameA(InstanceHandle, char* buffer,
                                         unsigned size) {
  ++calls_["GetModuleFileNameA"];
  if (size == 0) return 0;
  const size_t length = std::min<size_t>(modulePath.size(), size - 1);
  memcpy(buffer, modulePath.data(), length);
  buffer[length] = '\0';
  return static_cast<unsigned>(length);
}

int FakePlatform::SetCurrentDirectoryA(const char* path) {
  if (Fail("SetCurrentDirectoryA")) return 0;
  const std::string full = Resolve(path);
  const Node* node = Find(full);
  if (node == nullptr || !node->folder) return SetError(kErrorFileNotFound);
  currentDirectory = node->path.size() == 2 ? node->path + "\\" : node->path;
  return 1;
}

unsigned FakePlatform::GetCurrentDirectoryA(unsigned size, char* buffer) {
  ++calls_["GetCurrentDirectoryA"];
  return CopyOut(currentDirectory, buffer, size);
}

int FakePlatform::IsDBCSLeadByte(unsigned char byte) { return IsLead(byte) ? 1 : 0; }

uint32_t FakePlatform::GetLastError() { return lastError_; }

// --- Files and folders ----------------------------------------------------------------

FindHandle FakePlatform::FindFirstFileA(const char* pattern, FindData* data) {
  if (Fail("FindFirstFileA")) return nullptr;
  std::string full = Resolve(pattern);
  auto listing = std::make_unique<Listing>();
  const std::string name = NameOf(full);
  if (name == "*.*" || name == "*") {
    const std::string folderKey = KeyOf(full.substr(0, full.size() - name.size()));
    const Node* folder = Find(folderKey);
    if (folder == nullptr || !folder->folder) {
      SetError(kErrorPathNotFound);
      return nullptr;
    }
    if (folderKey.size() > 2) {
      FindData dot = {kFileAttributeDirectory, "."};
      FindData dotdot = {kFileAttributeDirectory, ".."};
      listing->entries.push_back(dot);
      listing->entries.push_back(dotdot);
    }
    for (const auto& entry : nodes_) {
      if (Parent(entry.first) == folderKey && entry.first != folderKey) {
        FindData found;
        found.attributes = entry.second.attributes;
        snprintf(found.name, sizeof found.name, "%s", NameOf(entry.second.path).c_str());
        listing->entries.push_back(found);
      }
    }
  } else {
    // A name that ends in a backslash, or a drive root, finds nothing.
    if (full.empty() || full.back() == '\\' || full.size() <= 3) {
      SetError(kErrorFileNotFound);
      return nullptr;
    }
    const Node* node = Find(full);
    if (node != nullptr) {
      FindData found;
      found.attributes = node->attributes;
      snprintf(found.name, sizeof found.name, "%s", NameOf(node->path).c_str());
      listing->entries.push_back(found);
    }
  }
  if (listing->entries.empty()) {
    SetError(kErrorFileNotFound);
    return nullptr;
  }
  *data = listing->entries[0];
  listing->next = 1;
  FindHandle handle = listing.get();
  finds_[handle] = std::move(listing);
  return handle;
}

int FakePlatform::FindNextFileA(FindHandle find, FindData* data) {
  ++calls_["FindNextFileA"];
  auto it = finds_.find(find);
  if (it == finds_.end()) return SetError(6);  // ERROR_INVALID_HANDLE
  Listing& listing = *it->second;
  if (listing.next >= listing.entries.size()) return SetError(18);  // ERROR_NO_MORE_FILES
  *data = listing.entries[listing.next++];
  return 1;
}

void FakePlatform::FindClose(FindHandle find) {
  ++calls_["FindClose"];
  finds_.erase(find);
}

int FakePlatform::CreateDirectoryA(const char* path) {
  if (Fail("CreateDirectoryA")) return 0;
  const std::string full = Resolve(path);
  if (Find(full) != nullptr) return SetError(kErrorAlreadyExists);
  const Node* parent = Find(Parent(KeyOf(full)));
  if (parent == nullptr || !parent->folder) return SetError(kErrorPathNotFound);
  if (const uint32_t error = WriteCheck(full)) return SetError(error);
  AddFolder(full);
  return 1;
}

int FakePlatform::RemoveDirectoryA(const char* path) {
  if (Fail("RemoveDirectoryA")) return 0;
  const std::string key = KeyOf(Resolve(path));
  Node* node = Find(key);
  if (node == nullptr) return SetError(kErrorFileNotFound);
  if (!node->folder) return SetError(267);  // ERROR_DIRECTORY
  if (node->locked) return SetError(kErrorSharingViolation);
  if (!ListTree(node->path).empty()) return SetError(kErrorDirNotEmpty);
  if (const uint32_t error = WriteCheck(key)) return SetError(error);
  nodes_.erase(key);
  return 1;
}

int FakePlatform::DeleteFileA(const char* path) {
  if (Fail("DeleteFileA")) return 0;
  const std::string key = KeyOf(Resolve(path));
  Node* node = Find(key);
  if (node == nullptr) return SetError(kErrorFileNotFound);
  if (node->folder) return SetError(kErrorAccessDenied);
  if (node->locked) return SetError(kErrorSharingViolation);
  if (node->attributes & kFileAttributeReadOnly) return SetError(kErrorAccessDenied);
  if (const uint32_t error = WriteCheck(key)) return SetError(error);
  nodes_.erase(key);
  return 1;
}

int FakePlatform::CopyFileA(const char* from, const char* to, int failIfExists) {
  if (Fail("CopyFileA")) return 0;
  const Node* source = Find(Resolve(from));
  if (source == nullptr) return SetError(kErrorFileNotFound);
  if (source->folder) return SetError(kErrorAccessDenied);
  if (source->locked) return SetError(kErrorSharingViolation);
  const std::string target = Resolve(to);
  const Node* parent = Find(Parent(KeyOf(target)));
  if (parent == nullptr || !parent->folder) return SetError(kErrorPathNotFound);
  if (const Node* existing = Find(target)) {
    if (failIfExists) return SetError(kErrorFileExists);
    if (existing->folder) return SetError(kErrorAccessDenied);
    if (existing->locked) return SetError(kErrorSharingViolation);
    if (existing->attributes & kFileAttributeReadOnly) return SetError(kErrorAccessDenied);
  }
  if (const uint32_t error = WriteCheck(target)) return SetError(error);
  const std::string data = source->data;
  const uint32_t attributes = source->attributes;
  Node* existing = Find(target);
  AddFile(existing != nullptr ? existing->path : target, data, attributes);
  return 1;
}

int FakePlatform::SetFileAttributesA(const char* path, uint32_t attributes) {
  if (Fail("SetFileAttributesA")) return 0;
  Node* node = Find(Resolve(path));
  if (node == nullptr) return SetError(kErrorFileNotFound);
  node->attributes = (attributes == kFileAttributeNormal) ? 0 : attributes;
  if (node->folder) node->attributes |= kFileAttributeDirectory;
  return 1;
}

int FakePlatform::MoveFileExA(const char* from, const char* to, uint32_t flags) {
  if (Fail("MoveFileExA")) return 0;
  if (to == nullptr && (flags & kMoveFileDelayUntilReboot)) {
    pendingDeletes.push_back(from);
    return 1;
  }
  return SetError(87);  // ERROR_INVALID_PARAMETER: only scheduling is modelled
}

unsigned FakePlatform::GetShortPathNameA(const char* longPath, char* buffer,
                                        unsigned size) {
  if (Fail("GetShortPathNameA")) return 0;
  const std::string full = Resolve(longPath);
  if (Find(full) == nullptr) {
    SetError(kErrorFileNotFound);
    return 0;
  }
  return CopyOut(ShortPathOf(full), buffer, size);
}

unsigned FakePlatform::GetFullPathNameA(const char* path, unsigned size,
                                       char* buffer) {
  if (Fail("GetFullPathNameA")) return 0;
  return CopyOut(Resolve(path), buffer, size);
}

int FakePlatform::GetDiskFreeSpaceA(const char* root, uint32_t* sectorsPerCluster,
                                   uint32_t* bytesPerSector, uint32_t* freeClusters,
                                   uint32_t* totalClusters) {
  if (Fail("GetDiskFreeSpaceA")) return 0;
  const std::string path = root;
  if (path.size() != 3 || path[1] != ':' || path[2] != '\\') return SetError(kErrorPathNotFound);
  Drive* drive = DriveFor(path);
  if (drive == nullptr) return SetError(kErrorPathNotFound);
  *sectorsPerCluster = drive->sectorsPerCluster;
  *bytesPerSector = drive->bytesPerSector;
  *freeClusters = drive->freeClusters;
  *totalClusters = drive->totalClusters;
  return 1;
}

int FakePlatform::OpenFileReadWrite(const char* path) {
  if (Fail("OpenFileReadWrite")) return kHfileError;
  const std::string full = Resolve(path);
  const Node* node = Find(full);
  if (node == nullptr || node->folder) return SetError(kErrorFileNotFound), kHfileError;
  if (node->locked) return SetError(kErrorSharingViolation), kHfileError;
  if (node->attributes & kFileAttributeReadOnly) return SetError(kErrorAccessDenied), kHfileError;
  if (DriveFor(full)->readOnly) return SetError(kErrorWriteProtect), kHfileError;
  const int handle = nextFile_++;
  files_[handle] = OpenFileState{KeyOf(full), 0};
  return handle;
}

long FakePlatform::SeekFile(int file, long offset, int origin) {
  ++calls_["SeekFile"];
  auto it = files_.find(file);
  if (it == files_.end()) return -1;
  const long size = static_cast<long>(Find(it->second.key)->data.size());
  long position = origin == kSeekEnd ? size + offset : (origin == kSeekSet ? offset : it->second.position + offset);
  if (position < 0) return -1;
  it->second.position = position;
  return position;
}

unsigned FakePlatform::ReadFile(int file, void* buffer, unsigned count) {
  if (Fail("ReadFile")) return static_cast<unsigned>(-1);
  auto it = files_.find(file);
  if (it == files_.end()) return static_cast<unsigned>(-1);
  const std::string& data = Find(it->second.key)->data;
  const size_t position = static_cast<size_t>(it->second.position);
  if (position >= data.size()) return 0;
  const size_t n = std::min<size_t>(count, data.size() - position);
  memcpy(buffer, data.data() + position, n);
  it->second.position += static_cast<long>(n);
  return static_cast<unsigned>(n);
}

unsigned FakePlatform::WriteFile(int file, const void* buffer, unsigned count) {
  if (Fail("WriteFile")) return static_cast<unsigned>(-1);
  auto it = files_.find(file);
  if (it == files_.end()) return static_cast<unsigned>(-1);
  std::string& data = Find(it->second.key)->data;
  const size_t position = static_cast<size_t>(it->second.position);
  if (data.size() < position + count) data.resize(position + count);
  memcpy(&data[position], buffer, count);
  it->second.position += static_cast<long>(count);
  return count;
}

void FakePlatform::CloseFile(int file) {
  ++calls_["CloseFile"];
  files_.erase(file);
}

void* FakePlatform::GlobalAlloc(size_t bytes) {
  if (Fail("GlobalAlloc")) return nullptr;
  void* block = malloc(bytes);
  allocations_.insert(block);
  return block;
}

void FakePlatform::GlobalFree(void* block) {
  ++calls_["GlobalFree"];
  if (allocations_.erase(block)) free(block);
}

// --- Profile strings --------------------------------------------------------------------

std::string FakePlatform::TextOf(const char* file) const {
  const Node* node = Find(Resolve(file));
  return (node != nullptr && !node->folder) ? node->data : std::string();
}

unsigned FakePlatform::GetPrivateProfileStringA(const char* section, const char* key,
                                               const char* fallback, char* buffer,
                                               unsigned size, const char* file) {
  ++calls_["GetPrivateProfileStringA"];
  const std::string text = TextOf(file);
  return ReadProfileValue(text.data(), text.size(), section, key,
                          fallback != nullptr ? fallback : "", buffer, size);
}

unsigned FakePlatform::GetPrivateProfileSectionA(const char* section, char* buffer,
                                                unsigned size, const char* file) {
  ++calls_["GetPrivateProfileSectionA"];
  const std::string text = TextOf(file);
  return ReadProfileSection(text.data(), text.size(), section, buffer, size);
}

int FakePlatform::StoreProfileText(const std::string& full, const std::string& text) {
  Node* node = Find(full);
  if (node == nullptr) {
    if (const uint32_t error = WriteCheck(full)) return SetError(error);
    AddFile(full, text);
  } else {
    node->data = text;
  }
  return 1;
}

int FakePlatform::WritePrivateProfileStringA(const char* section, const char* key,
                                            const char* value, const char* file) {
  if (Fail("WritePrivateProfileStringA")) return 0;
  if (section == nullptr) return 1;  // flush: nothing is cached here
  const std::string full = Resolve(file);
  Node* node = Find(full);
  std::string text = node != nullptr ? node->data : std::string();
  size_t first = 0, last = 0;
  const bool hasSection = FindProfileSection(text.data(), text.size(), section, &first, &last);
  if (key == nullptr) {
    if (!hasSection) return 1;  // nothing to remove: the file is not written
    text.erase(first, last - first);
  } else {
    // Rewrite or add one key; other lines stay as they are.
    std::string line = std::string(key) + "=" + (value != nullptr ? value : "") + "\r\n";
    if (!hasSection) {
      if (value == nullptr) return 1;
      if (!text.empty() && text.back() != '\n') text += "\r\n";
      text += "[" + std::string(section) + "]\r\n" + line;
    } else {
      size_t position = text.find('\n', first);
      position = position == std::string::npos ? last : position + 1;
      bool replaced = false;
      while (position < last) {
        size_t end = text.find('\n', position);
        end = end == std::string::npos ? text.size() : end + 1;
        const std::string current = text.substr(position, end - position);
        const size_t equals = current.find('=');
        if (equals != std::string::npos && Upper(current.substr(0, equals)) == Upper(key)) {
          text.replace(position, end - position, value != nullptr ? line : "");
          replaced = true;
          break;
        }
        position = end;
      }
      if (!replaced && value != nullptr) text.insert(last, line);
    }
  }
  return StoreProfileText(full, text);
}

int FakePlatform::WritePrivateProfileSectionA(const char* section, const char* lines,
                                             const char* file) {
  if (Fail("WritePrivateProfileSectionA")) return 0;
  std::string body;
  for (const char* line = lines; *line != '\0'; line += strlen(line) + 1) {
    body += std::string(line) + "\r\n";
  }
  const std::string full = Resolve(file);
  std::string text = TextOf(file);
  size_t first = 0, last = 0;
  if (FindProfileSection(text.data(), text.size(), section, &first, &last)) {
    size_t position = text.find('\n', first);
    position = position == std::string::npos || position >= last ? last : position + 1;
    if (position == last && (last == 0 || text[last - 1] != '\n')) body = "\r\n" + body;
    text.replace(position, last - position, body);
  } else {
    if (!text.empty() && text.back() != '\n') text += "\r\n";
    text += "[" + std::string(section) + "]\r\n" + body;
  }
  return StoreProfileText(full, text);
}

// --- Registry --------------------------------------------------------------------------------

std::string FakePlatform::KeyPathOf(KeyHandle parent, const char* subKey) const {
  std::string base;
  if (const char* root = RootName(parent)) {
    base = root;
  } else {
    auto it = keys_.find(parent);
    if (it == keys_.end()) return std::string();
    base = it->second;
  }
  if (subKey == nullptr || *subKey == '\0') return base;
  return base + "\\" + subKey;
}

FakePlatform::Key* FakePlatform::FindKey(const std::string& upperPath) {
  auto it = registry_.find(upperPath);
  return it == registry_.end() ? nullptr : &it->second;
}

void FakePlatform::AddKey(const std::string& path) {
  size_t stop = 0;
  while (true) {
    stop = path.find('\\', stop + 1);
    const std::string level = path.substr(0, stop);
    Key& key = registry_[Upper(level)];
    if (key.path.empty()) key.path = level;
    if (stop == std::string::npos) break;
  }
}

void FakePlatform::SetStringValue(const std::string& path, const std::string& name,
                                  const std::string& value) {
  AddKey(path);
  registry_[Upper(path)].values[Upper(name)] =
      std::make_pair(name, std::make_pair(kRegSz, value + std::string(1, '\0')));
}

bool FakePlatform::KeyExists(const std::string& path) const {
  return registry_.count(Upper(path)) != 0;
}

std::string FakePlatform::Value(const std::string& path, const std::string& name,
                                bool* found, uint32_t* type) const {
  if (found) *found = false;
  auto key = registry_.find(Upper(path));
  if (key == registry_.end()) return std::string();
  auto value = key->second.values.find(Upper(name));
  if (value == key->second.values.end()) return std::string();
  if (found) *found = true;
  if (type) *type = value->second.second.first;
  return value->second.second.second;
}

std::vector<std::string> FakePlatform::ValueNames(const std::string& path) const {
  std::vector<std::string> names;
  auto key = registry_.find(Upper(path));
  if (key != registry_.end()) {
    for (const auto& value : key->second.values) names.push_back(value.second.first);
  }
  return names;
}

void FakePlatform::DenyOpen(const std::string& path) {
  AddKey(path);
  registry_[Upper(path)].denyOpen = true;
}

void FakePlatform::DenyDelete(const std::string& path) {
  AddKey(path);
  registry_[Upper(path)].denyDelete = true;
}

long FakePlatform::RegOpenKeyExA(KeyHandle parent, const char* subKey, uint32_t,
                                KeyHandle* result) {
  if (Fail("RegOpenKeyExA")) return static_cast<long>(lastError_);
  const std::string path = KeyPathOf(parent, subKey);
  Key* key = FindKey(Upper(path));
  if (key == nullptr) return kErrorFileNotFound;
  if (key->denyOpen) return kErrorAccessDenied;
  *result = nextKey_++;
  keys_[*result] = key->path;
  return kErrorSuccess;
}

long FakePlatform::RegCreateKeyExA(KeyHandle parent, const char* subKey, uint32_t,
                                  KeyHandle* result) {
  if (Fail("RegCreateKeyExA")) return static_cast<long>(lastError_);
  const std::string path = KeyPathOf(parent, subKey);
  if (path.empty()) return 6;  // ERROR_INVALID_HANDLE
  AddKey(path);
  *result = nextKey_++;
  keys_[*result] = registry_[Upper(path)].path;
  return kErrorSuccess;
}

long FakePlatform::RegQueryValueExA(KeyHandle handle, const char* name, uint32_t* type,
                                   void* data, uint32_t* size) {
  if (Fail("RegQueryValueExA")) return static_cast<long>(lastError_);
  auto open = keys_.find(handle);
  if (open == keys_.end()) return 6;
  Key* key = FindKey(Upper(open->second));
  if (key == nullptr) return 1018;  // ERROR_KEY_DELETED
  auto value = key->values.find(Upper(name != nullptr ? name : ""));
  if (value == key->values.end()) return kErrorFileNotFound;
  const std::string& bytes = value->second.second.second;
  if (type) *type = value->second.second.first;
  const uint32_t needed = static_cast<uint32_t>(bytes.size());
  if (data == nullptr) {
    if (size) *size = needed;
    return kErrorSuccess;
  }
  if (*size < needed) {
    *size = needed;
    return kErrorMoreData;
  }
  memcpy(data, bytes.data(), needed);
  *size = needed;
  return kErrorSuccess;
}

long FakePlatform::RegSetValueExA(KeyHandle handle, const char* name, uint32_t type,
                                 const void* data, uint32_t size) {
  if (Fail("RegSetValueExA")) return static_cast<long>(lastError_);
  auto open = keys_.find(handle);
  if (open == keys_.end()) return 6;
  Key* key = FindKey(Upper(open->second));
  if (key == nullptr) return 1018;
  const std::string valueName = name != nullptr ? name : "";
  key->values[Upper(valueName)] = std::make_pair(
      valueName, std::make_pair(type, std::string(static_cast<const char*>(data), size)));
  return kErrorSuccess;
}

long FakePlatform::RegEnumKeyA(KeyHandle handle, uint32_t index, char* name,
                              uint32_t size) {
  if (Fail("RegEnumKeyA")) return static_cast<long>(lastError_);
  std::string base;
  if (const char* root = RootName(handle)) {
    base = root;
  } else {
    auto open = keys_.find(handle);
    if (open == keys_.end()) return 6;
    base = open->second;
  }
  const std::string prefix = Upper(base) + "\\";
  uint32_t position = 0;
  for (const auto& entry : registry_) {
    if (entry.first.compare(0, prefix.size(), prefix) != 0) continue;
    if (entry.first.find('\\', prefix.size()) != std::string::npos) continue;
    if (position++ != index) continue;
    const std::string child = entry.second.path.substr(prefix.size());
    if (child.size() + 1 > size) return kErrorMoreData;
    memcpy(name, child.c_str(), child.size() + 1);
    return kErrorSuccess;
  }
  return kErrorNoMoreItems;
}

long FakePlatform::RegDeleteKeyA(KeyHandle parent, const char* subKey) {
  if (Fail("RegDeleteKeyA")) return static_cast<long>(lastError_);
  if (subKey == nullptr || *subKey == '\0') return kErrorAccessDenied;
  const std::string upper = Upper(KeyPathOf(parent, subKey));
  Key* key = FindKey(upper);
  if (key == nullptr) return kErrorFileNotFound;
  if (key->denyDelete) return kErrorAccessDenied;
  const std::string prefix = upper + "\\";
  for (const auto& entry : registry_) {
    if (entry.first.compare(0, prefix.size(), prefix) == 0) return kErrorAccessDenied;
  }
  registry_.erase(upper);
  return kErrorSuccess;
}

long FakePlatform::RegCloseKey(KeyHandle key) {
  ++calls_["RegCloseKey"];
  if (RootName(key) != nullptr) return kErrorSuccess;
  return keys_.erase(key) ? kErrorSuccess : 6;
}

// --- User interface and processes -----------------------------------------------------------------

int FakePlatform::MessageBoxA(WindowHandle owner, const char* text, const char* caption,
                             uint32_t flags) {
  ++calls_["MessageBoxA"];
  MessageBoxCall call{owner, text, caption != nullptr, caption != nullptr ? caption : "",
                      flags};
  messageBoxes.push_back(call);
  if (!answers.empty()) {
    const int answer = answers.front();
    answers.pop_front();
    return answer;
  }
  if (onMessageBox) return onMessageBox(call);
  const uint32_t buttons = flags & 0xF;
  if (buttons == kMbYesNo || buttons == kMbYesNoCancel) return kIdYes;
  return kIdOk;
}

unsigned FakePlatform::WinExec(const char* commandLine, int show) {
  ++calls_["WinExec"];
  winExecs.push_back(ExecCall{commandLine, show, currentDirectory});
  return winExecResult;
}

uintptr_t FakePlatform::ShellExecuteA(WindowHandle owner, const char* verb,
                                     const char* file, const char*, const char*,
                                     int show) {
  ++calls_["ShellExecuteA"];
  shellExecutes.push_back(
      ShellExecuteCall{owner, verb != nullptr ? verb : "", file, currentDirectory, show});
  return 42;
}

// --- Shell links -------------------------------------------------------------------------------------

long FakePlatform::CoInitialize() {
  ++coInitializeCalls;
  return 0;
}

void FakePlatform::CoUninitialize() { ++coUninitializeCalls; }

ShellLink* FakePlatform::CreateShellLink() {
  const int number = ++linksCreated;
  if (failCreateLink.count(number)) {
    linkLog.push_back(std::to_string(number) + ":CoCreateInstance(failed)");
    return nullptr;
  }
  linkObjects_.push_back(std::make_unique<Link>(this, number));
  ++liveLinks;
  return linkObjects_.back().get();
}

int FakePlatform::MultiByteToWideChar(const char* text, char16_t* out, int outCount) {
  const size_t length = strlen(text) + 1;
  if (static_cast<int>(length) > outCount) {
    SetError(122);  // ERROR_INSUFFICIENT_BUFFER
    return 0;
  }
  for (size_t i = 0; i < length; ++i) {
    out[i] = static_cast<char16_t>(static_cast<unsigned char>(text[i]));
  }
  return static_cast<int>(length);
}

// --- DDE ---------------------------------------------------------------------------------------------------

unsigned FakePlatform::DdeInitializeA(uint32_t* instance, DdeCallbackFn callback,
                                     uint32_t flags) {
  ddeInitializeInstances.push_back(*instance);
  ddeInitializeFlags.push_back(flags);
  if (ddeInitializeResult != kDmlErrNoError) return ddeInitializeResult;
  if (*instance == 0) *instance = 0x51;
  ddeCallback_ = callback;
  return kDmlErrNoError;
}

void* FakePlatform::DdeCreateStringHandleA(uint32_t instance, const char* text) {
  if (instance == 0 || ddeCallback_ == nullptr) return nullptr;
  stringHandles_.push_back(std::make_unique<std::string>(text));
  ++liveStringHandles;
  return stringHandles_.back().get();
}

int FakePlatform::DdeFreeStringHandle(uint32_t, void* handle) {
  if (handle == nullptr) return 0;
  --liveStringHandles;
  return 1;
}

void* FakePlatform::DdeConnect(uint32_t instance, void* service, void* topic) {
  ++ddeConnects;
  if (instance == 0 || service == nullptr || topic == nullptr || !progmanRunning) {
    return nullptr;
  }
  if (Upper(*static_cast<std::string*>(service)) != "PROGMAN" ||
      Upper(*static_cast<std::string*>(topic)) != "PROGMAN") {
    return nullptr;
  }
  return reinterpret_cast<void*>(nextConversation_++);
}

uintptr_t FakePlatform::DdeClientTransaction(const void* data, uint32_t length,
                                             void* conversation, void*, unsigned format,
                                             unsigned type, uint32_t timeout) {
  ++calls_["DdeClientTransaction"];
  if (conversation == nullptr) return 0;
  std::string command(static_cast<const char*>(data), length);
  if (format != kCfText || type != kXtypExecute || timeout != 10000) {
    command = "!unexpected transaction! " + command;
  }
  ddeCommands.push_back(command);
  ++ddeCommandsSent_;
  if (ddeDisconnectAfter >= 0 && ddeCommandsSent_ == ddeDisconnectAfter && ddeCallback_) {
    ddeCallback_(kXtypDisconnect, 0, conversation, nullptr, nullptr, nullptr, 0, 0);
  }
  return ddeTransactionResult;
}

}  // namespace setup
