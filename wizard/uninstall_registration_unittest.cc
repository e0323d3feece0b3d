#include "wizard/uninstall_registration.h"

#include <string>

#include "startup/setup_description.h"
#include "tests/unit/setup_test.h"

namespace setup {
namespace {

class UninstallRegistrationTest : public SetupTest {
 protected:
  void Register(const std::string& title, const std::string& folder,
                const std::string& installDir) {
    strcpy(state().productTitle, title.c_str());
    strcpy(state().productFolder, folder.c_str());
    strcpy(state().installDir, installDir.c_str());
    strcpy(state().setupExeName, "SETUP.EXE");
    RegisterUninstall();
  }

  std::string Key(const std::string& folder) const {
    return std::string("HKEY_LOCAL_MACHINE\\") + kUninstallKeyPrefix + folder;
  }
};

TEST_F(UninstallRegistrationTest, WritesExactlyTheTwoValuesWithTheirNul) {
  // ソフト見本: ソ has the trail byte 0x5C.
  const std::string title = "\x83\x5C\x83\x74\x83\x67\x8C\xA9\x96\x7B";
  Register(title, "SampleNotes", "C:\\Program Files\\Sample Notes\\");
  const std::string key = Key("SampleNotes");
  uint32_t type = 0;
  EXPECT_EQ(fake_.Value(key, "DisplayName", nullptr, &type), title + std::string(1, '\0'));
  EXPECT_EQ(type, kRegSz);
  EXPECT_EQ(fake_.Value(key, "UninstallString", nullptr, &type),
            std::string("\"C:\\Program Files\\Sample Notes\\SETUP.EXE\" /r") +
                std::string(1, '\0'));
  EXPECT_EQ(type, kRegSz);
  EXPECT_EQ(fake_.ValueNames(key),
            (std::vector<std::string>{"DisplayName", "UninstallString"}));

  // The command reads back as this installation's folder.
  char command[kPathSize];
  strcpy(command, fake_.Value(key, "UninstallString").c_str());
  EXPECT_EQ(CutUninstallStringToFolder(command), 1);
  EXPECT_STREQ(command, "C:\\Program Files\\Sample Notes\\");
}

TEST_F(UninstallRegistrationTest, ALaterInstallOverwritesAndKeepsOtherValues) {
  Register("Notes 1", "Notes", "C:\\Notes\\");
  fake_.SetStringValue(Key("Notes"), "DisplayIcon", "x.ico");
  Register("Notes 2", "Notes", "D:\\Apps\\Notes\\");
  EXPECT_EQ(fake_.Value(Key("Notes"), "DisplayName"), std::string("Notes 2", 8));
  EXPECT_EQ(fake_.Value(Key("Notes"), "UninstallString"),
            std::string("\"D:\\Apps\\Notes\\SETUP.EXE\" /r", 29));
  bool found = false;
  fake_.Value(Key("Notes"), "DisplayIcon", &found);
  EXPECT_TRUE(found);
}

TEST_F(UninstallRegistrationTest, LongestFieldsFitTheCommand) {
  const std::string dir = "C:\\" + std::string(255, 'd') + "\\";  // 259 bytes
  const std::string exe = std::string(51, 'S') + ".EXE";           // 55 bytes
  strcpy(state().setupExeName, exe.c_str());
  strcpy(state().productTitle, "T");
  strcpy(state().productFolder, std::string(99, 'F').c_str());
  strcpy(state().installDir, dir.c_str());
  RegisterUninstall();
  EXPECT_EQ(fake_.Value(Key(std::string(99, 'F')), "UninstallString"),
            "\"" + dir + exe + "\" /r" + std::string(1, '\0'));
}

TEST_F(UninstallRegistrationTest, AKeyThatCannotBeCreatedWritesNothing) {
  fake_.FailNext("RegCreateKeyExA", kErrorAccessDenied);
  Register("Notes", "Notes", "C:\\Notes\\");
  EXPECT_FALSE(fake_.KeyExists(Key("Notes")));
  EXPECT_EQ(fake_.Calls("RegSetValueExA"), 0);
  EXPECT_TRUE(fake_.messageBoxes.empty());
}

}  // namespace
}  // namespace setup
