// The removal on the real registry, real folders and the real profile and
// file services, with message boxes answered by the test.
#include <windows.h>
#include <string.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "startup/entry.h"
#include "startup/setup_description.h"
#include "tests/integration/integration_test.h"
#include "uninstall/delete_at_restart.h"
#include "uninstall/folder_tree.h"
#include "uninstall/removal.h"
#include "uninstall/test_texts.h"
#include "uninstall/uninstall_run.h"

namespace setup {
namespace {

const char kTestKey[] = "Software\\SetupUninstallIt";

// The real platform, except that message boxes are answered by the test
// (and recorded), and that MoveFileExA and the Windows directory can be
// replaced to reach WININIT.INI in a folder of the test's own.
class AnsweringPlatform : public Win32Platform {
 public:
  struct Box {
    std::string text;
    bool hasCaption;
    std::string caption;
    uint32_t flags;
  };
  std::vector<Box> boxes;
  std::function<int(const std::string& text)> answer;
  bool refuseMoveFileEx = false;
  std::string windowsDirectory;  // empty: the real one
  int failOpens = 0;             // the next n direct opens fail

  std::vector<std::string> Texts() const {
    std::vector<std::string> texts;
    for (const Box& box : boxes) texts.push_back(box.text);
    return texts;
  }

  int MessageBoxA(WindowHandle, const char* text, const char* caption,
                  uint32_t flags) override {
    boxes.push_back(Box{text, caption != nullptr, caption ? caption : "", flags});
    if (answer) return answer(text);
    return (flags & 0xF) == MB_YESNOCANCEL ? IDYES : IDOK;
  }
  int MoveFileExA(const char* from, const char* to, uint32_t flags) override {
    if (refuseMoveFileEx) return 0;
    return Win32Platform::MoveFileExA(from, to, flags);
  }
  unsigned GetWindowsDirectoryA(char* buffer, unsigned size) override {
    if (windowsDirectory.empty()) return Win32Platform::GetWindowsDirectoryA(buffer, size);
    lstrcpynA(buffer, windowsDirectory.c_str(), size);
    return static_cast<unsigned>(windowsDirectory.size());
  }
  int OpenFileReadWrite(const char* path) override {
    if (failOpens > 0) {
      --failOpens;
      return HFILE_ERROR;
    }
    return Win32Platform::OpenFileReadWrite(path);
  }
};

class UninstallIntegrationTest : public IntegrationTest {
 protected:
  UninstallIntegrationTest() { SetPlatform(&answering_); }
  ~UninstallIntegrationTest() override { DeleteKeyTree(HKEY_CURRENT_USER, kTestKey); }

  static void CreateKey(HKEY root, const std::string& path) {
    HKEY key;
    ASSERT_EQ(RegCreateKeyExA(root, path.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &key,
                              nullptr),
              ERROR_SUCCESS)
        << path;
    const char value[] = "data";
    RegSetValueExA(key, "Value", 0, REG_SZ, reinterpret_cast<const BYTE*>(value), sizeof value);
    RegCloseKey(key);
  }
  static bool KeyExists(HKEY root, const std::string& path) {
    HKEY key;
    if (RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
    RegCloseKey(key);
    return true;
  }
  static std::vector<std::string> SubkeyNames(HKEY root) {
    std::vector<std::string> names;
    char name[256];
    for (DWORD i = 0; RegEnumKeyA(root, i, name, sizeof name) == ERROR_SUCCESS; ++i) {
      names.push_back(name);
    }
    return names;
  }
  static bool Exists(const std::string& path) {
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
  }
  // Writes every file of `files` below `folder`, making subfolders.
  static void MakeFiles(const std::string& folder, const std::vector<std::string>& files) {
    CreateDirectoryA(folder.c_str(), nullptr);
    for (const std::string& file : files) {
      for (size_t cut = file.find('\\'); cut != std::string::npos;
           cut = file.find('\\', cut + 1)) {
        CreateDirectoryA((folder + file.substr(0, cut)).c_str(), nullptr);
      }
      WriteFileBytes(folder + file, "x");
    }
  }

  AnsweringPlatform answering_;
};

TEST_F(UninstallIntegrationTest, DeleteRegistryTreeSeveralLevelsDeep) {
  const std::string root = kTestKey;
  const std::vector<std::string> rootBefore = SubkeyNames(HKEY_CURRENT_USER);
  CreateKey(HKEY_CURRENT_USER, root + "\\L1\\L2\\L3\\L4\\L5");
  for (int i = 0; i < 12; ++i) {
    CreateKey(HKEY_CURRENT_USER, root + "\\Wide\\Key" + std::to_string(i) + "\\Leaf");
  }
  CreateKey(HKEY_CURRENT_USER, root + "\\L1\\Sibling\\\x83\x5C");  // ソ
  DeleteRegistryTree(kHkeyCurrentUser, kTestKey);

  EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, root));
  // Software itself and its neighbours stay.
  EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, "Software"));
  EXPECT_EQ(SubkeyNames(HKEY_CURRENT_USER), rootBefore);
}

TEST_F(UninstallIntegrationTest, UninstallAllOnARealInstallation) {
  const std::string dir = scratch() + "Soft Dir\\";
  MakeFiles(dir, {"SETUP.EXE", "SOFT.EXE", "SUB\\DATA.DAT", "EXTRA.TXT", "HELP.GID"});
  WriteFileBytes(dir + "SETUP.INF",
                 "[Install]\r\nTitle=Soft\r\nFolder=SetupUninstallItSoft\r\n1=SOFT.EXE\r\n"
                 "2=SUB\\DATA.DAT\r\n[Reg]\r\n1=HKEY_CURRENT_USER\\\r\n"
                 "2=HKEY_CURRENT_USER\\Software\\SetupUninstallIt\\Product\r\n"
                 "3=hkey_current_user\\Software\\SetupUninstallIt\\Other\r\n"
                 "4=HKEY_CURRENT_USER\r\n");
  const std::string product = std::string(kTestKey) + "\\Product";
  CreateKey(HKEY_CURRENT_USER, product + "\\Settings\\Window\\Placement");
  CreateKey(HKEY_CURRENT_USER, std::string(kTestKey) + "\\Other");
  const std::string uninstallKey = std::string(kUninstallKeyPrefix) + "SetupUninstallItSoft";
  CreateKey(HKEY_LOCAL_MACHINE, uninstallKey);
  const std::vector<std::string> rootBefore = SubkeyNames(HKEY_CURRENT_USER);

  ASSERT_EQ(DeriveNames((dir + "SETUP.EXE").c_str()), 1);
  ASSERT_EQ(LoadSetupDescription(), 1);
  State().newShell = 1;
  PrepareUninstallRun();
  EXPECT_EQ(UninstallAll(), 1);

  EXPECT_EQ(answering_.Texts(),
            (std::vector<std::string>{test_texts::kBadReg, test_texts::kBadReg,
                                      test_texts::kBadReg,
                                      dir + "EXTRA.TXT" + test_texts::kQuestion}));
  EXPECT_FALSE(Exists(dir));
  EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, product));
  EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, std::string(kTestKey) + "\\Other"));
  EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, uninstallKey));
  EXPECT_EQ(SubkeyNames(HKEY_CURRENT_USER), rootBefore) << "HKEY_CURRENT_USER kept whole";
  DeleteKeyTree(HKEY_LOCAL_MACHINE, uninstallKey);
}

TEST_F(UninstallIntegrationTest, RemoveFolderTreeWithAnsweredQuestions) {
  const std::string dir = scratch() + "Tree\\";
  MakeFiles(dir, {"A.TXT", "HELP.GID", "help2.Gid", "DATA.OLD.GID", "SUB\\B.TXT",
                  "SUB\\DEEP\\C.TXT", "SUB\\DEEP\\D.GID", "Z.TXT"});
  // The platform lists entries in an order of its own: answers go by name.
  strcpy(State().productTitle, "Tree");
  answering_.answer = [&](const std::string& text) {
    return text == dir + "SUB\\B.TXT" + test_texts::kQuestion ? IDNO : IDYES;
  };
  EXPECT_EQ(RemoveFolderTree(dir.c_str()), 0);
  EXPECT_TRUE(Exists(dir + "SUB\\B.TXT"));
  EXPECT_FALSE(Exists(dir + "SUB\\DEEP"));
  EXPECT_EQ(answering_.boxes.back().text, dir + "SUB" + test_texts::kFolderFailed)
      << "the innermost folder only";
  std::vector<std::string> asked;
  for (const AnsweringPlatform::Box& box : answering_.boxes) {
    if (box.text.find(test_texts::kQuestion) == std::string::npos) continue;
    EXPECT_EQ(box.flags, static_cast<uint32_t>(MB_YESNOCANCEL | MB_ICONQUESTION));
    EXPECT_EQ(box.caption, State().productTitle);
    asked.push_back(box.text.substr(dir.size(), box.text.size() - dir.size() -
                                                    strlen(test_texts::kQuestion)));
  }

  // Everything answered Yes now: the whole tree goes.
  answering_.boxes.clear();
  answering_.answer = nullptr;
  EXPECT_EQ(RemoveFolderTree(dir.c_str()), 1);
  EXPECT_FALSE(Exists(dir));
  for (const AnsweringPlatform::Box& box : answering_.boxes) {
    ASSERT_NE(box.text.find(test_texts::kQuestion), std::string::npos) << box.text;
    asked.push_back(box.text.substr(dir.size(), box.text.size() - dir.size() -
                                                    strlen(test_texts::kQuestion)));
  }
  // Over both walks every file was asked about once, except the help
  // indexes (B.TXT twice: kept the first time).
  std::sort(asked.begin(), asked.end());
  EXPECT_EQ(asked, (std::vector<std::string>{"A.TXT", "DATA.OLD.GID", "SUB\\B.TXT",
                                             "SUB\\B.TXT", "SUB\\DEEP\\C.TXT", "Z.TXT"}));
}

TEST_F(UninstallIntegrationTest, RemoveFileOfAFileHeldOpenWithoutSharing) {
  const std::string path = scratch() + "HELD.DLL";
  WriteFileBytes(path, "x");
  HANDLE held = CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  EXPECT_EQ(RemoveFile(path.c_str()), 0);
  ASSERT_EQ(answering_.boxes.size(), 1u);
  EXPECT_EQ(answering_.boxes[0].text, path + test_texts::kRemoveFailed);
  EXPECT_FALSE(answering_.boxes[0].hasCaption);
  EXPECT_EQ(answering_.boxes[0].flags, static_cast<uint32_t>(MB_ICONERROR));
  EXPECT_TRUE(Exists(path));
  CloseHandle(held);
  EXPECT_EQ(RemoveFile(path.c_str()), 1);
  EXPECT_FALSE(Exists(path));
}

// PendingFileRenameOperations as a list of strings.
std::vector<std::string> PendingRenames() {
  std::vector<std::string> entries;
  HKEY key;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "System\\CurrentControlSet\\Control\\Session Manager",
                    0, KEY_READ, &key) != ERROR_SUCCESS) {
    return entries;
  }
  DWORD size = 0;
  DWORD type = 0;
  if (RegQueryValueExA(key, "PendingFileRenameOperations", nullptr, &type, nullptr, &size) ==
      ERROR_SUCCESS) {
    std::string bytes(size, '\0');
    RegQueryValueExA(key, "PendingFileRenameOperations", nullptr, &type,
                     reinterpret_cast<BYTE*>(&bytes[0]), &size);
    bytes.resize(size);
    for (size_t start = 0; start < bytes.size();) {
      const size_t end = bytes.find('\0', start);
      if (end == std::string::npos) break;
      entries.push_back(bytes.substr(start, end - start));
      start = end + 1;
    }
  }
  RegCloseKey(key);
  return entries;
}

TEST_F(UninstallIntegrationTest, DeleteAtRestartSchedulesThroughMoveFileEx) {
  const std::string path = scratch() + "COPY.EXE";
  WriteFileBytes(path, "MZ");
  DeleteAtRestart(path.c_str());
  const std::vector<std::string> pending = PendingRenames();
  // Pairs of source and target; an empty target deletes the source.
  bool scheduled = false;
  for (size_t i = 0; i + 1 < pending.size(); i += 2) {
    const std::string& source = pending[i];
    if (source.size() >= path.size() &&
        lstrcmpiA(source.c_str() + source.size() - path.size(), path.c_str()) == 0) {
      scheduled = pending[i + 1].empty();
    }
  }
  EXPECT_TRUE(scheduled);
  EXPECT_TRUE(Exists(path)) << "deleted at the restart only";
}

TEST_F(UninstallIntegrationTest, DeleteAtRestartThroughWininitIni) {
  answering_.refuseMoveFileEx = true;
  answering_.windowsDirectory = scratch().substr(0, scratch().size() - 1);
  const std::string ini = scratch() + "WININIT.INI";
  const std::string path = scratch() + "Setup Program.EXE";
  WriteFileBytes(path, "MZ");
  char shortPath[MAX_PATH];
  ASSERT_NE(GetShortPathNameA(path.c_str(), shortPath, MAX_PATH), 0u);
  const std::string own = "NUL=" + std::string(shortPath) + "\r\n";

  // No file: nothing is created.
  DeleteAtRestart(path.c_str());
  EXPECT_FALSE(Exists(ini));

  // Two NUL lines kept in order, other sections stay, 0x1A replaced.
  WriteFileBytes(ini,
                 "[boot]\r\na=1\r\n[Rename]\r\nNUL=C:\\A.DLL\r\nNUL=C:\\B.DLL\r\n"
                 "[386Enh]\r\nb=2\r\n\x1A");
  DeleteAtRestart(path.c_str());
  const std::string after = ReadFileBytes(ini);
  EXPECT_EQ(after.substr(after.size() - own.size() - 38),
            "[Rename]\r\nNUL=C:\\A.DLL\r\nNUL=C:\\B.DLL\r\n" + own);
  EXPECT_EQ(after.find('\x1A'), std::string::npos);
  EXPECT_EQ(after.find('\0'), std::string::npos);
  char value[32];
  GetPrivateProfileStringA("boot", "a", "", value, sizeof value, ini.c_str());
  EXPECT_STREQ(value, "1");
  GetPrivateProfileStringA("386Enh", "b", "", value, sizeof value, ini.c_str());
  EXPECT_STREQ(value, "2");

  // A 0x1A right after the section's last entry.
  WriteFileBytes(ini, "[boot]\r\na=1\r\n[Rename]\r\nNUL=C:\\A.DLL\r\n\x1A");
  DeleteAtRestart(path.c_str());
  EXPECT_EQ(ReadFileBytes(ini), "[boot]\r\na=1\r\n[Rename]\r\nNUL=C:\\A.DLL\r\n" + own);

  // The direct open fails after the section is gone: it comes back whole.
  WriteFileBytes(ini, "[Rename]\r\nNUL=C:\\A.DLL\r\nNUL=C:\\B.DLL\r\n[boot]\r\na=1\r\n");
  answering_.failOpens = 1;
  DeleteAtRestart(path.c_str());
  char section[256];
  const DWORD length = GetPrivateProfileSectionA("Rename", section, sizeof section, ini.c_str());
  EXPECT_EQ(std::string(section, length), std::string("NUL=C:\\A.DLL\0NUL=C:\\B.DLL\0", 26));
  GetPrivateProfileStringA("boot", "a", "", value, sizeof value, ini.c_str());
  EXPECT_STREQ(value, "1");
}

}  // namespace
}  // namespace setup
