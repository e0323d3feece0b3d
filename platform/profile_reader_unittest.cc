#include "platform/profile_reader.h"

#include <string>

#include <gtest/gtest.h>

namespace setup {
namespace {

const std::string kText =
    "; comment\r\n"
    "[Install]\r\n"
    "  Title =  Sample Notes  \r\n"
    "folder=SampleNotes\n"
    "1=NOTES.EXE\r\n"
    "1=SECOND.EXE\r\n"
    "[ group ]\r\n"
    "1=A,B\r\n"
    "[Rename]\r\n"
    "NUL=C:\\A.DLL\r\n"
    "NUL=C:\\B.DLL\r\n"
    "\r\n"
    "X=Y";

std::string Read(const char* section, const char* key, unsigned size = 260) {
  char buffer[300];
  const unsigned length = ReadProfileValue(kText.data(), kText.size(), section, key, "dflt",
                                           buffer, size);
  EXPECT_EQ(length, strlen(buffer));
  return buffer;
}

TEST(ProfileReaderTest, ValuesMatchThePlatformRules) {
  EXPECT_EQ(Read("Install", "Title"), "Sample Notes");  // blanks dropped
  EXPECT_EQ(Read("INSTALL", "FOLDER"), "SampleNotes");  // names ignore case
  EXPECT_EQ(Read("Install", "1"), "NOTES.EXE");         // the first of two
  EXPECT_EQ(Read("Group", "1"), "A,B");
  EXPECT_EQ(Read("Install", "Missing"), "dflt");
  EXPECT_EQ(Read("Missing", "Title"), "dflt");
  EXPECT_EQ(Read("Rename", "X"), "Y");                  // last line without LF
  EXPECT_EQ(Read("Install", "Title", 7), "Sample");     // cut to size - 1
  EXPECT_EQ(Read("Install", "Title", 1), "");
}

TEST(ProfileReaderTest, SectionListsEveryEntryInOrder) {
  char buffer[64];
  const unsigned length = ReadProfileSection(kText.data(), kText.size(), "rename", buffer,
                                             sizeof buffer);
  const std::string expected("NUL=C:\\A.DLL\0NUL=C:\\B.DLL\0X=Y\0", 30);
  EXPECT_EQ(std::string(buffer, length), expected);
  EXPECT_EQ(buffer[length], '\0');
  EXPECT_EQ(ReadProfileSection(kText.data(), kText.size(), "none", buffer, sizeof buffer), 0u);
  EXPECT_EQ(buffer[0], '\0');
}

TEST(ProfileReaderTest, SectionCutToTheBuffer) {
  char buffer[20];
  memset(buffer, 'z', sizeof buffer);
  const unsigned length = ReadProfileSection(kText.data(), kText.size(), "Rename", buffer,
                                             sizeof buffer);
  ASSERT_LE(length, sizeof buffer - 1);
  EXPECT_EQ(buffer[length], '\0');
  EXPECT_EQ(std::string(buffer, 13), std::string("NUL=C:\\A.DLL\0", 13));
}

}  // namespace
}  // namespace setup
