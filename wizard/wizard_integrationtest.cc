// The destination checks and the install sequence on the real file system
// and registry, with message boxes recorded instead of shown.
#include <windows.h>
#include <string.h>

#include <string>
#include <vector>

#include "startup/setup_description.h"
#include "tests/integration/integration_test.h"
#include "wizard/destination_check.h"
#include "wizard/install_sequence.h"

namespace setup {
namespace {

const char kFolder[] = "SetupWizardIt";

// The real platform with message boxes recorded and answered with OK or Yes.
class RecordingPlatform : public Win32Platform {
 public:
  int MessageBoxA(WindowHandle, const char* text, const char*, uint32_t) override {
    texts.push_back(text);
    return IDYES;
  }
  std::vector<std::string> texts;
};

// Every call of the sequence on the page is counted; the next step is run
// by the test instead of being posted.
class CountingCopyPage : public CopyPageView {
 public:
  void SetProgressRange(uint16_t maximum) override { range = maximum; }
  void AdvanceProgress() override { ++advances; }
  void HideProgress() override {}
  void SetStatusText(const char*) override {}
  void ShowRemoveHint() override {}
  void PostNextStep() override { ++posted; }
  void PostFinishButton() override { finished = true; }
  int range = -1;
  int advances = 0;
  int posted = 0;
  bool finished = false;
};

class WizardIntegrationTest : public IntegrationTest {
 protected:
  WizardIntegrationTest() {
    SetPlatform(&recording_);
    DeleteKeyTree(HKEY_LOCAL_MACHINE, UninstallKey());
  }
  ~WizardIntegrationTest() override { DeleteKeyTree(HKEY_LOCAL_MACHINE, UninstallKey()); }

  static std::string UninstallKey() { return std::string(kUninstallKeyPrefix) + kFolder; }

  DestinationOutcome Next(const std::string& field) {
    strcpy(State().installDir, field.c_str());
    return CheckDestination(nullptr);
  }

  RecordingPlatform recording_;
};

TEST_F(WizardIntegrationTest, DestinationChecksOnTheRealFileSystem) {
  // An existing folder is kept, whatever it holds.
  const std::string existing = scratch() + "existing\\";
  ASSERT_TRUE(CreateDirectoryA(existing.c_str(), nullptr));
  EXPECT_EQ(Next(existing), kDestinationNext);
  EXPECT_NE(GetFileAttributesA(existing.c_str()), INVALID_FILE_ATTRIBUTES);

  // A new folder with ソ (trail byte 0x5C) is tried and removed again.
  const std::string fresh = scratch() + "\x83\x5C\\\x83\x5C\x83\x74\x83\x67";
  EXPECT_EQ(Next(fresh), kDestinationNext);
  EXPECT_STREQ(State().installDir, (fresh + "\\").c_str());
  EXPECT_NE(GetFileAttributesA((scratch() + "\x83\x5C").c_str()), INVALID_FILE_ATTRIBUTES);
  EXPECT_EQ(GetFileAttributesA(fresh.c_str()), INVALID_FILE_ATTRIBUTES);
  EXPECT_TRUE(recording_.texts.empty());

  // A file with the destination's name, and names that are search patterns.
  WriteFileBytes(scratch() + "file", "x");
  EXPECT_EQ(Next(scratch() + "file"), kDestinationStay);
  EXPECT_EQ(Next(scratch() + "*"), kDestinationStay);
  EXPECT_EQ(Next(scratch() + "exist?ng"), kDestinationStay);
  EXPECT_EQ(recording_.texts,
            (std::vector<std::string>{
                scratch() + "file - 同じ名前のファイルが既に存在するのでフォルダが作成できません。",
                scratch() + "* のフォルダ作成に失敗しました。",
                scratch() + "exist?ng のフォルダ作成に失敗しました。"}));

  // The free space of the drive, a tenth of it in bytes.
  strcpy(State().installDir, existing.c_str());
  // Other processes write to the same disk, so the figure is compared with
  // readings taken just before and just after, until both agree.
  const std::string root = scratch().substr(0, 3);
  bool compared = false;
  for (int attempt = 0; attempt < 20 && !compared; ++attempt) {
    DWORD sectors = 0, bytes = 0, free = 0, total = 0;
    ASSERT_TRUE(GetDiskFreeSpaceA(root.c_str(), &sectors, &bytes, &free, &total));
    const uint64_t tenth = QueryFreeSpaceTenth();
    DWORD freeAfter = 0;
    ASSERT_TRUE(GetDiskFreeSpaceA(root.c_str(), &sectors, &bytes, &freeAfter, &total));
    if (free != freeAfter) continue;
    EXPECT_EQ(tenth, static_cast<uint64_t>(free / 10) * bytes * sectors);
    compared = true;
  }
  EXPECT_TRUE(compared) << "the free space never held still";
}

TEST_F(WizardIntegrationTest, TheSequenceInstallsAndRegisters) {
  const std::string source = scratch() + "disk1\\";
  const std::string dest = scratch() + "Program Files\\\x83\x5C Notes\\";
  ASSERT_TRUE(CreateDirectoryA(source.c_str(), nullptr));
  WriteFileBytes(source + "SETUP.EXE", "MZ");
  WriteFileBytes(source + "SETUP.INF",
                 std::string("[Install]\r\nTitle=\x83\x5C\x83\x74\x83\x67\r\nFolder=") + kFolder +
                     "\r\n1=NOTES.EXE\r\n2=A.DAT,DATA\\\x83\x5C\\A.DAT\r\n");
  WriteFileBytes(source + "NOTES.EXE", "notes");
  WriteFileBytes(source + "A.DAT", "a");
  ASSERT_TRUE(SetFileAttributesA((source + "A.DAT").c_str(),
                                 FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN));
  strcpy(State().sourceDir, source.c_str());
  strcpy(State().setupExeName, "SETUP.EXE");
  strcpy(State().infFileName, "SETUP.INF");
  strcpy(State().infPath, (source + "SETUP.INF").c_str());
  ASSERT_TRUE(SetCurrentDirectoryA(source.c_str()));

  // Twice: the second install goes over the first.
  for (int run = 0; run < 2; ++run) {
    SCOPED_TRACE(run);
    ASSERT_EQ(LoadSetupDescription(), 1);
    strcpy(State().installDir, dest.c_str());
    State().installStep = 0;
    CountingCopyPage page;
    do {
      RunInstallStep(page);
    } while (page.posted == page.advances);
    EXPECT_TRUE(page.finished);
    EXPECT_EQ(page.range, 5);
    EXPECT_EQ(page.advances, 6);
    EXPECT_TRUE(recording_.texts.empty()) << recording_.texts.front();
    EXPECT_EQ(ReadFileBytes(dest + "NOTES.EXE"), "notes");
    EXPECT_EQ(ReadFileBytes(dest + "DATA\\\x83\x5C\\A.DAT"), "a");
    EXPECT_EQ(GetFileAttributesA((dest + "DATA\\\x83\x5C\\A.DAT").c_str()) &
                  (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN),
              0u);
  }

  HKEY key;
  ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, UninstallKey().c_str(), 0, KEY_READ, &key),
            ERROR_SUCCESS);
  char value[400];
  DWORD size = sizeof value;
  DWORD type = 0;
  ASSERT_EQ(RegQueryValueExA(key, "UninstallString", nullptr, &type,
                             reinterpret_cast<BYTE*>(value), &size),
            ERROR_SUCCESS);
  RegCloseKey(key);
  const std::string command = "\"" + dest + "SETUP.EXE\" /r";
  EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
  EXPECT_EQ(std::string(value, size), command + std::string(1, '\0'));

  // A later run proposes this destination.
  State().installDir[0] = '\0';
  ASSERT_EQ(LoadSetupDescription(), 1);
  EXPECT_EQ(std::string(State().installDir), dest);
}

}  // namespace
}  // namespace setup
