#include "startup/text_helpers.h"

#include <string>

#include "tests/unit/setup_test.h"

namespace setup {
namespace {

using TextHelpersTest = SetupTest;

TEST_F(TextHelpersTest, FindCharMbStepsOverDoubleByteCharacters) {
  struct Case {
    std::string text;
    char wanted;
    int expected;  // offset, -1 for none
  } cases[] = {
      {"", '\\', -1},
      {"\x83\x5C\\A", '\\', 2},       // ソ's trail byte is not a backslash
      {"AB\x83", '\\', -1},           // lone lead byte at the end
      {"\x83", 'x', -1},
      {"a,b,c", ',', 1},
      {"\x82\xA0,x", ',', 2},
      {"\x81\x81,", ',', 2},          // a lead byte followed by a lead-valued byte
      {"\x81\x2C\x2C", ',', 2},       // trail byte equal to a comma
      {"C:\\Soft", '\\', 2},
  };
  for (const Case& c : cases) {
    const char* found = FindCharMb(c.text.c_str(), c.wanted);
    const int offset = found == nullptr ? -1 : static_cast<int>(found - c.text.c_str());
    EXPECT_EQ(offset, c.expected) << "text " << testing::PrintToString(c.text);
  }
}

TEST_F(TextHelpersTest, IsInsideMbCharWalksFromTheStart) {
  EXPECT_EQ(IsInsideMbChar("\x83\x5C", 0), 0);
  EXPECT_EQ(IsInsideMbChar("\x83\x5C", 1), 1);
  EXPECT_EQ(IsInsideMbChar("A\\", 1), 0);
  // A run of lead-byte values: the answer depends on the walk, not on the
  // byte before.
  EXPECT_EQ(IsInsideMbChar("\x81\x81\x81\x81", 2), 0);
  EXPECT_EQ(IsInsideMbChar("\x81\x81\x81\x81", 3), 1);
  EXPECT_EQ(IsInsideMbChar("A\x81\x81\x81", 3), 0);
}

TEST_F(TextHelpersTest, EnsureTrailingBackslash) {
  struct Case {
    std::string before;
    std::string after;
  } cases[] = {
      {"C:\\Soft", "C:\\Soft\\"},
      {"C:\\Soft\\", "C:\\Soft\\"},
      {"C:\\Soft\\\\", "C:\\Soft\\\\"},
      {"C:", "C:\\"},
      {"", "\\"},
      {"C:\\\x83\x5C", "C:\\\x83\x5C\\"},  // ends in ソ: gains a backslash
      {"C:\\\x83\x5C\\", "C:\\\x83\x5C\\"},
  };
  for (const Case& c : cases) {
    char buffer[kPathSize];
    strcpy(buffer, c.before.c_str());
    EnsureTrailingBackslash(buffer);
    EXPECT_EQ(std::string(buffer), c.after) << testing::PrintToString(c.before);
  }
}

TEST_F(TextHelpersTest, BoundedCopyAndAppendAreAllOrNothing) {
  char buffer[8] = "abc";
  EXPECT_EQ(AppendText(buffer, sizeof buffer, "defg"), 1);
  EXPECT_STREQ(buffer, "abcdefg");
  EXPECT_EQ(AppendText(buffer, sizeof buffer, "h"), 0);
  EXPECT_STREQ(buffer, "abcdefg");
  EXPECT_EQ(CopyText(buffer, sizeof buffer, "12345678"), 0);
  EXPECT_STREQ(buffer, "abcdefg");
  EXPECT_EQ(CopyText(buffer, sizeof buffer, "1234567"), 1);
  EXPECT_STREQ(buffer, "1234567");
}

TEST_F(TextHelpersTest, CenteredOriginTruncatesTowardZero) {
  struct Case {
    int width, height, x, y;
  } cases[] = {
      {400, 300, 312, 234},
      {401, 300, 311, 234},
      {1031, 300, -3, 234},
      {1024, 769, 0, 0},
  };
  for (const Case& c : cases) {
    const WindowOrigin origin = CenteredOrigin(1024, 768, c.width, c.height);
    EXPECT_EQ(origin.x, c.x) << c.width;
    EXPECT_EQ(origin.y, c.y) << c.height;
  }
}

}  // namespace
}  // namespace setup
