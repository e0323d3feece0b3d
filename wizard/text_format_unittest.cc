#include "wizard/text_format.h"

#include <string>

#include "tests/unit/setup_test.h"

namespace setup {
namespace {

TEST(FormatUnsignedTest, FillsEveryPlaceAndKeepsOtherBytes) {
  struct Case {
    const char* format;
    unsigned value;
    const char* expected;
  } cases[] = {
      {"%u", 0, "0"},
      {"%u", 4294967295u, "4294967295"},
      {"[%u|%u]", 50, "[50|50]"},
      {"100%% %u%", 7, "100% 7%"},
      {"%d %s", 1, "%d %s"},
      // ソ ends in the byte 0x5C; a double-byte text passes unchanged.
      {"\x83\x5C%u\x83\x5C", 12, "\x83\x5C" "12\x83\x5C"},
  };
  for (const Case& c : cases) {
    char buffer[64];
    EXPECT_EQ(FormatUnsigned(buffer, sizeof buffer, c.format, c.value), 1) << c.format;
    EXPECT_STREQ(buffer, c.expected) << c.format;
  }
}

TEST(FormatUnsignedTest, ATextThatDoesNotFitLeavesNothing) {
  char buffer[6];
  EXPECT_EQ(FormatUnsigned(buffer, sizeof buffer, "ab%u", 123), 1);  // 5 + NUL
  EXPECT_STREQ(buffer, "ab123");
  EXPECT_EQ(FormatUnsigned(buffer, sizeof buffer, "ab%u", 1234), 0);
  EXPECT_STREQ(buffer, "");
  EXPECT_EQ(FormatUnsigned(buffer, sizeof buffer, "abcdefgh", 0), 0);
  EXPECT_STREQ(buffer, "");
}

}  // namespace
}  // namespace setup
