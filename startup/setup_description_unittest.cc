#include "startup/setup_description.h"

#include <string>

#include "tests/unit/setup_test.h"

namespace setup {
namespace {

const char kUninstallKey[] =
    "HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\"
    "SampleNotes";

class SetupDescriptionTest : public SetupTest {
 protected:
  void WriteWorkedExample() {
    WriteInf({"[Install]", "Title=Sample Notes", "Folder=SampleNotes", "1=NOTES.EXE",
              "2=NOTES.HLP", "3=DATA\\BLANK.DAT,TEMPLATE\\BLANK.DAT", "4=README.TXT",
              "6=EXTRA.TXT", "Open=README.TXT", "[Group]", "1=Sample Notes,NOTES.EXE",
              "2=Read me,NOTES.EXE,README.TXT", "3=NOTES.HLP", "[Reg]",
              "1=HKEY_CURRENT_USER\\Software\\Sample\\Notes"});
  }
};

TEST_F(SetupDescriptionTest, WorkedExampleLoadsAndResolves) {
  WriteWorkedExample();
  ASSERT_EQ(LoadSetupDescription(), 1);
  EXPECT_STREQ(state().productTitle, "Sample Notes");
  EXPECT_STREQ(state().productFolder, "SampleNotes");
  EXPECT_EQ(state().residentProgram, 0);
  EXPECT_STREQ(state().installDir, "C:\\Program Files\\SampleNotes\\");
  EXPECT_EQ(state().installEntryCount, 4);  // 5 is missing, 6 never seen
  EXPECT_EQ(state().groupItemCount, 2);     // item 3 has no comma
  EXPECT_TRUE(fake_.messageBoxes.empty());

  struct Case {
    bool group;
    int number;
    const char* source;
    const char* target;
  } cases[] = {
      {false, -1, "SETUP.EXE", "C:\\Program Files\\SampleNotes\\SETUP.EXE"},
      {false, 0, "SETUP.INF", "C:\\Program Files\\SampleNotes\\SETUP.INF"},
      {false, 1, "NOTES.EXE", "C:\\Program Files\\SampleNotes\\NOTES.EXE"},
      {false, 3, "DATA\\BLANK.DAT", "C:\\Program Files\\SampleNotes\\TEMPLATE\\BLANK.DAT"},
      {false, 5, "", "C:\\Program Files\\SampleNotes\\"},
      {true, 1, "Sample Notes", "C:\\Program Files\\SampleNotes\\NOTES.EXE"},
      {true, 2, "Read me", "C:\\Program Files\\SampleNotes\\NOTES.EXE,README.TXT"},
  };
  for (const Case& c : cases) {
    if (c.group) {
      ResolveGroupItem(c.number);
    } else {
      ResolveInstallEntry(c.number);
      EXPECT_EQ(state().entryTargetTail, state().entryTarget + strlen(state().installDir));
    }
    EXPECT_STREQ(state().entrySource, c.source) << c.number;
    EXPECT_STREQ(state().entryTarget, c.target) << c.number;
  }
}

TEST_F(SetupDescriptionTest, MissingOrEmptyTitleOrFolderIsReportedOnce) {
  const std::vector<std::vector<std::string>> infs = {
      {"[Install]", "Title=Sample", "Folder="},
      {"[Install]", "Title=", "Folder=Sample"},
      {"[Install]", "Folder=Sample", "TSR=1", "1=A.EXE"},
      {"[Other]", "Title=Sample", "Folder=Sample"},
  };
  for (const auto& lines : infs) {
    fake_.messageBoxes.clear();
    ResetState();
    WriteInf(lines);
    EXPECT_EQ(LoadSetupDescription(), 0);
    ASSERT_EQ(fake_.messageBoxes.size(), 1u);
    const auto& box = fake_.messageBoxes[0];
    EXPECT_EQ(box.owner, nullptr);
    EXPECT_FALSE(box.hasCaption);
    EXPECT_EQ(box.flags, kMbIconError | kMbOk);
    EXPECT_EQ(box.text,
              "\x90\xDD\x92\xE8\x83\x74\x83\x40\x83\x43\x83\x8B\x82\xAA\x89\xF3\x82\xEA\x82"
              "\xC4\x82\xA2\x82\xE9\x82\xA9\x81\x41\x82\xDC\x82\xBD\x82\xCD\x8C\xA9\x82\xC2"
              "\x82\xA9\x82\xE8\x82\xDC\x82\xB9\x82\xF1\x81\x42");
    EXPECT_EQ(state().residentProgram, 0);
    EXPECT_STREQ(state().installDir, "");
    EXPECT_EQ(state().installEntryCount, 0);
  }
  // No file at all.
  fake_.messageBoxes.clear();
  ResetState();
  strcpy(state().infPath, "D:\\NOWHERE\\SETUP.INF");
  EXPECT_EQ(LoadSetupDescription(), 0);
  EXPECT_EQ(fake_.messageBoxes.size(), 1u);
}

TEST_F(SetupDescriptionTest, ResidentFlagFollowsTheFirstCharacter) {
  const struct {
    const char* value;
    int resident;
  } cases[] = {{"1", 1}, {"10", 1}, {"1x", 1}, {"0", 0}, {"yes", 0}, {"", 0}, {nullptr, 0}};
  for (const auto& c : cases) {
    ResetState();
    std::vector<std::string> lines = {"[Install]", "Title=T", "Folder=F"};
    if (c.value != nullptr) lines.push_back(std::string("TSR=") + c.value);
    WriteInf(lines);
    ASSERT_EQ(LoadSetupDescription(), 1);
    EXPECT_EQ(state().residentProgram, c.resident) << (c.value ? c.value : "(missing)");
  }
}

TEST_F(SetupDescriptionTest, DefaultFolderComesFromTheWindowsDrive) {
  const struct {
    const char* windows;
    const char* expected;
  } cases[] = {
      {"C:\\WINDOWS", "C:\\Program Files\\SampleNotes\\"},
      {"e:\\win", "e:\\Program Files\\SampleNotes\\"},
      {"\\\\server\\windows", "c:\\SampleNotes\\"},
  };
  for (const auto& c : cases) {
    ResetState();
    fake_.windowsDirectory = c.windows;
    WriteWorkedExample();
    ASSERT_EQ(LoadSetupDescription(), 1);
    EXPECT_STREQ(state().installDir, c.expected);
  }
}

TEST_F(SetupDescriptionTest, PreviousInstallationFolderFromUninstallString) {
  const struct {
    std::string value;
    std::string expected;
  } cases[] = {
      {"\"D:\\Apps\\Notes\\SETUP.EXE\" /r", "D:\\Apps\\Notes\\"},
      {"D:\\APPS\\NOTES\\SETUP.EXE /r", "D:\\APPS\\NOTES\\"},
      {"C:\\Program Files\\Notes\\SETUP.EXE /r", "C:\\"},
      {"D:\\Apps\\Notes\\SETUP.EXE", "D:\\Apps\\Notes\\SETUP.EXE"},
      {"\"D:\\Apps\\Notes\\SETUP.EXE", "D:\\Apps\\Notes\\SETUP.EXE"},
      {"", ""},
      // A separator without any backslash before it: the default stays.
      {"SETUP.EXE /r", "C:\\Program Files\\SampleNotes\\"},
      {"\"SETUP.EXE\" /r", "C:\\Program Files\\SampleNotes\\"},
      // A folder holding ソ (trail byte 0x5C) is cut at the real backslash.
      {"\"D:\\\x83\x5C\\SETUP.EXE\" /r", "D:\\\x83\x5C\\"},
  };
  for (const auto& c : cases) {
    ResetState();
    fake_.SetStringValue(kUninstallKey, "UninstallString", c.value);
    WriteWorkedExample();
    ASSERT_EQ(LoadSetupDescription(), 1);
    EXPECT_EQ(std::string(state().installDir), c.expected) << c.value;
  }
}

TEST_F(SetupDescriptionTest, UnreadableUninstallKeyKeepsTheDefault) {
  fake_.SetStringValue(kUninstallKey, "UninstallString", "\"D:\\Apps\\SETUP.EXE\" /r");
  fake_.DenyOpen(kUninstallKey);
  WriteWorkedExample();
  ASSERT_EQ(LoadSetupDescription(), 1);
  EXPECT_STREQ(state().installDir, "C:\\Program Files\\SampleNotes\\");
}

TEST_F(SetupDescriptionTest, UninstallStringLongerThanItsBufferKeepsTheDefault) {
  fake_.SetStringValue(kUninstallKey, "UninstallString",
                       "\"D:\\" + std::string(300, 'a') + "\\SETUP.EXE\" /r");
  WriteWorkedExample();
  ASSERT_EQ(LoadSetupDescription(), 1);
  EXPECT_STREQ(state().installDir, "C:\\Program Files\\SampleNotes\\");
}

TEST_F(SetupDescriptionTest, ListsEndAtTheFirstGap) {
  WriteInf({"[Install]", "Title=T", "Folder=F", "1=A.EXE", "2=B.DAT", "4=D.DAT", "[Group]",
            "1=,A.EXE", "2=Second,B.EXE"});
  ASSERT_EQ(LoadSetupDescription(), 1);
  EXPECT_EQ(state().installEntryCount, 2);
  EXPECT_EQ(state().groupItemCount, 0);  // an empty caption ends the list

  ResetState();
  WriteInf({"[Install]", "Title=T", "Folder=F", "1=,A.EXE", "2=B.DAT"});
  ASSERT_EQ(LoadSetupDescription(), 1);
  EXPECT_EQ(state().installEntryCount, 0);  // a leading comma ends it
}

TEST_F(SetupDescriptionTest, EntryRulesForSubfoldersAndCommas) {
  WriteInf({"[Install]", "Title=T", "Folder=F", "1=DATA\\A.TXT", "2=\x83\x5C,\x83\x5C.TXT"},
           "D:\\DISK1\\");
  strcpy(state().setupExeName, "SET,UP.EXE");
  ASSERT_EQ(LoadSetupDescription(), 1);
  ResolveInstallEntry(1);
  EXPECT_STREQ(state().entryTarget, "C:\\Program Files\\F\\DATA\\A.TXT");
  ResolveInstallEntry(2);
  EXPECT_STREQ(state().entrySource, "\x83\x5C");
  EXPECT_STREQ(state().entryTarget, "C:\\Program Files\\F\\\x83\x5C.TXT");
  ResolveInstallEntry(-1);  // the comma rule holds for the setup program too
  EXPECT_STREQ(state().entrySource, "SET");
  EXPECT_STREQ(state().entryTarget, "C:\\Program Files\\F\\UP.EXE");
}

TEST_F(SetupDescriptionTest, TargetThatDoesNotFitIsNeverCut) {
  const std::string longName(200, 'N');
  WriteInf({"[Install]", "Title=T", "Folder=F", "1=" + longName, "[Group]",
            "1=Caption," + longName});
  ASSERT_EQ(LoadSetupDescription(), 1);
  strcpy(state().installDir, ("C:\\" + std::string(80, 'd') + "\\").c_str());
  ResolveInstallEntry(1);
  EXPECT_EQ(std::string(state().entrySource), longName);  // the list goes on
  EXPECT_STREQ(state().entryTarget, "");
  ResolveGroupItem(1);
  EXPECT_STREQ(state().entrySource, "Caption");
  EXPECT_STREQ(state().entryTarget, "");
}

TEST_F(SetupDescriptionTest, FormatKeyNumberWritesUnsignedDecimal) {
  EXPECT_STREQ(FormatKeyNumber(1), "1");
  EXPECT_STREQ(FormatKeyNumber(10), "10");
  EXPECT_STREQ(FormatKeyNumber(4294967), "4294967");
  EXPECT_EQ(FormatKeyNumber(7), state().keyNameBuffer);
}

}  // namespace
}  // namespace setup
