#include "wizard/shortcut_options.h"

#include "tests/unit/setup_test.h"

namespace setup {
namespace {

class ShortcutOptionsTest : public SetupTest {};

TEST_F(ShortcutOptionsTest, DefaultsAndStoredAnswersByShell) {
  struct Case {
    int newShell;
    int desktopChecked;  // as read at Next
    int desktopEnabled, wantDesktop;
  } cases[] = {
      {1, 0, 1, 0},
      {1, 1, 1, 1},
      {0, 0, 0, 0},
      {0, 1, 0, 0},  // the old shell has no desktop shortcut
  };
  for (const Case& c : cases) {
    state().newShell = c.newShell;
    const ShortcutOptionDefaults defaults = GetShortcutOptionDefaults();
    EXPECT_EQ(defaults.startMenuChecked, 1);
    EXPECT_EQ(defaults.desktopChecked, 0);
    EXPECT_EQ(defaults.desktopEnabled, c.desktopEnabled);
    StoreShortcutOptions(defaults.startMenuChecked, c.desktopChecked);
    EXPECT_EQ(state().wantStartMenu, 1);
    EXPECT_EQ(state().wantDesktop, c.wantDesktop);
    StoreShortcutOptions(0, 0);
    EXPECT_EQ(state().wantStartMenu, 0);
  }
}

}  // namespace
}  // namespace setup
