#include "startup/entry.h"

#include <string>

#include "startup/setup_description.h"
#include "tests/unit/setup_test.h"

namespace setup {
namespace {

std::string g_ran;
void RanWizard() { g_ran = "wizard"; }
void RanHandOff() { g_ran = "handoff"; }
void RanUninstall() { g_ran = "uninstall"; }
const ModeHandlers kModes = {RanWizard, RanHandOff, RanUninstall};

class EntryTest : public SetupTest {
 protected:
  EntryTest() { g_ran.clear(); }
  void WriteSetup(const std::string& folder) {
    fake_.AddFile(folder + "SETUP.INF", "[Install]\r\nTitle=T\r\nFolder=F\r\n");
  }
};

TEST_F(EntryTest, ModeLetterChoosesTheModeAndTheDescription) {
  fake_.modulePath = "C:\\WINDOWS\\SYSTEM\\SETUP.EXE";
  WriteSetup("C:\\WINDOWS\\SYSTEM\\");
  fake_.AddDrive('D');
  WriteSetup("C:\\Program Files\\Sample\\");
  const struct {
    const char* commandLine;
    const char* mode;
    const char* infPath;
  } cases[] = {
      {"/r", "handoff", "C:\\WINDOWS\\SYSTEM\\SETUP.INF"},
      {"r", "handoff", "C:\\WINDOWS\\SYSTEM\\SETUP.INF"},
      {"R", "handoff", "C:\\WINDOWS\\SYSTEM\\SETUP.INF"},
      {"/R", "handoff", "C:\\WINDOWS\\SYSTEM\\SETUP.INF"},
      {"remove", "handoff", "C:\\WINDOWS\\SYSTEM\\SETUP.INF"},
      {"x C:\\Program Files\\Sample\\SETUP.EXE", "uninstall",
       "C:\\Program Files\\Sample\\SETUP.INF"},
      {"/x C:\\Program Files\\Sample\\SETUP.EXE", "uninstall",
       "C:\\Program Files\\Sample\\SETUP.INF"},
      {"x?C:\\Program Files\\Sample\\SETUP.EXE", "uninstall",
       "C:\\Program Files\\Sample\\SETUP.INF"},
      {"X C:\\Program Files\\Sample\\SETUP.EXE", "wizard", "C:\\WINDOWS\\SYSTEM\\SETUP.INF"},
      {"/", "wizard", "C:\\WINDOWS\\SYSTEM\\SETUP.INF"},
      {"//r", "wizard", "C:\\WINDOWS\\SYSTEM\\SETUP.INF"},
      {"-r", "wizard", "C:\\WINDOWS\\SYSTEM\\SETUP.INF"},
      {"", "wizard", "C:\\WINDOWS\\SYSTEM\\SETUP.INF"},
  };
  for (const auto& c : cases) {
    ResetState();
    g_ran.clear();
    EXPECT_EQ(RunSetup(reinterpret_cast<InstanceHandle>(0x400000), c.commandLine, kModes), 1);
    EXPECT_EQ(g_ran, c.mode) << c.commandLine;
    EXPECT_STREQ(state().infPath, c.infPath) << c.commandLine;
    EXPECT_STREQ(state().modulePath, "C:\\WINDOWS\\SYSTEM\\SETUP.EXE");
    EXPECT_EQ(state().appInstance, reinterpret_cast<InstanceHandle>(0x400000));
  }
  EXPECT_TRUE(fake_.messageBoxes.empty());
}

TEST_F(EntryTest, NamesFromThePath) {
  const struct {
    std::string path;
    std::string sourceDir, exeName, infName;
  } cases[] = {
      {"D:\\DISK1\\SETUP.EXE", "D:\\DISK1\\", "SETUP.EXE", "SETUP.INF"},
      {"D:\\DISK1\\INSTALL.EXE", "D:\\DISK1\\", "INSTALL.EXE", "INSTALL.INF"},
      {"D:\\DISK1\\SETUP", "D:\\DISK1\\", "SETUP", "SEINF"},
      {"D:\\DISK1\\EXE", "D:\\DISK1\\", "EXE", "INF"},
      {"D:\\DISK1\\setup.exe", "D:\\DISK1\\", "setup.exe", "setup.INF"},
      // ソ in a folder name does not disturb the cut at the last backslash.
      {"D:\\\x83\x5C\\SETUP.EXE", "D:\\\x83\x5C\\", "SETUP.EXE", "SETUP.INF"},
      // The same byte inside the file name is taken as the separator.
      {"D:\\DISK1\\AB\x83\x5CSETUP.EXE", "D:\\DISK1\\AB\x83\\", "SETUP.EXE", "SETUP.INF"},
      {"D:\\DISK1\\" + std::string(55, 'N'), "D:\\DISK1\\", std::string(55, 'N'),
       std::string(52, 'N') + "INF"},
  };
  for (const auto& c : cases) {
    ResetState();
    ASSERT_EQ(DeriveNames(c.path.c_str()), 1) << c.path;
    EXPECT_EQ(std::string(state().sourceDir), c.sourceDir);
    EXPECT_EQ(std::string(state().setupExeName), c.exeName);
    EXPECT_EQ(std::string(state().infFileName), c.infName);
    EXPECT_EQ(std::string(state().infPath), c.sourceDir + c.infName);
  }
}

TEST_F(EntryTest, PathsOutsideTheLimitsAreRefusedWithTheLoadMessage) {
  WriteSetup("C:\\DISK1\\");
  fake_.modulePath = "C:\\DISK1\\SETUP.EXE";
  const std::string tooLong = "x C:\\" + std::string(250, 'd') + "\\SETUP.EXE";
  const char* cases[] = {
      "x",                                        // nothing after the x
      "xC",                                       // one character only
      "x SETUP.EXE",                              // no backslash
      "x C:\\DISK1\\",                            // empty file name
      "x C:\\DISK1\\AB",                          // file name shorter than 3
      "x C:\\DISK1\\" "NNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNN",  // 56 bytes
      tooLong.c_str(),
  };
  for (const char* commandLine : cases) {
    ResetState();
    fake_.messageBoxes.clear();
    g_ran.clear();
    EXPECT_EQ(RunSetup(nullptr, commandLine, kModes), 1);
    EXPECT_EQ(g_ran, "") << commandLine;
    ASSERT_EQ(fake_.messageBoxes.size(), 1u) << commandLine;
    EXPECT_EQ(fake_.messageBoxes[0].text, kBadSetupDescriptionText);
  }
}

TEST_F(EntryTest, MissingDescriptionRunsNoMode) {
  fake_.modulePath = "C:\\DISK1\\SETUP.EXE";
  fake_.AddFolder("C:\\DISK1");
  EXPECT_EQ(RunSetup(nullptr, "", kModes), 1);
  EXPECT_EQ(g_ran, "");
  ASSERT_EQ(fake_.messageBoxes.size(), 1u);
  EXPECT_EQ(fake_.messageBoxes[0].text, kBadSetupDescriptionText);
}

TEST_F(EntryTest, ShellKindFromTheMajorVersion) {
  WriteSetup("C:\\DISK1\\");
  fake_.modulePath = "C:\\DISK1\\SETUP.EXE";
  const struct {
    uint32_t version;
    int newShell;
  } cases[] = {{0x0A280004, 1}, {0x00005F03, 0}, {0x80000005, 1}, {0x00000A06, 1}, {0x000000FF, 1}};
  for (const auto& c : cases) {
    ResetState();
    fake_.version = c.version;
    RunSetup(nullptr, "", kModes);
    EXPECT_EQ(state().newShell, c.newShell) << std::hex << c.version;
  }
}

}  // namespace
}  // namespace setup
