#include "startup/setup_description.h"

#include <windows.h>

#include <string.h>

#include "startup/entry.h"
#include "tests/integration/integration_test.h"

namespace setup {
namespace {

const char kKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\ItSampleNotes";

class SetupDescriptionIntegrationTest : public IntegrationTest {
 protected:
  void SetUp() override {
    DeleteKeyTree(HKEY_LOCAL_MACHINE, kKey);
    ASSERT_EQ(DeriveNames((scratch() + "SETUP.EXE").c_str()), 1);
    // Title ソフト見本 in Shift JIS: the trail byte 0x5C of ソ must survive.
    WriteFileBytes(scratch() + "SETUP.INF",
                   "[Install]\r\nTitle=\x83\x5C\x83\x74\x83\x67\x8C\xA9\x96\x7B\r\n"
                   "Folder=ItSampleNotes\r\nTSR=1\r\n1=NOTES.EXE\r\n"
                   "2=DATA\\\x83\x5C.DAT,\x83\x5C\\B.DAT\r\n[Group]\r\n1=\x83\x5C,NOTES.EXE\r\n");
  }
  void TearDown() override { DeleteKeyTree(HKEY_LOCAL_MACHINE, kKey); }
};

TEST_F(SetupDescriptionIntegrationTest, ReadsShiftJisValuesThroughTheProfileApi) {
  ASSERT_EQ(LoadSetupDescription(), 1);
  EXPECT_STREQ(State().productTitle, "\x83\x5C\x83\x74\x83\x67\x8C\xA9\x96\x7B");
  EXPECT_EQ(State().residentProgram, 1);
  EXPECT_EQ(State().installEntryCount, 2);
  EXPECT_EQ(State().groupItemCount, 1);
  char windows[MAX_PATH];
  GetWindowsDirectoryA(windows, MAX_PATH);
  EXPECT_EQ(std::string(State().installDir),
            std::string(windows, 2) + "\\Program Files\\ItSampleNotes\\");
  ResolveInstallEntry(2);
  EXPECT_STREQ(State().entrySource, "DATA\\\x83\x5C.DAT");
  EXPECT_EQ(std::string(State().entryTargetTail), "\x83\x5C\\B.DAT");
}

TEST_F(SetupDescriptionIntegrationTest, ProposesTheFolderOfAPreviousInstallation) {
  HKEY key;
  ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, kKey, 0, nullptr, 0, KEY_WRITE, nullptr, &key,
                            nullptr),
            ERROR_SUCCESS);
  const char command[] = "\"D:\\Apps\\\x83\x5C Notes\\SETUP.EXE\" /r";
  RegSetValueExA(key, "UninstallString", 0, REG_SZ, reinterpret_cast<const BYTE*>(command),
                 sizeof command);
  RegCloseKey(key);
  ASSERT_EQ(LoadSetupDescription(), 1);
  EXPECT_STREQ(State().installDir, "D:\\Apps\\\x83\x5C Notes\\");
}

}  // namespace
}  // namespace setup
