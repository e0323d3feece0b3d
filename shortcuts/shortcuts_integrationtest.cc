#include "shortcuts/shortcuts.h"

#include <windows.h>

#include <string>

#include "shortcuts/shortcut_integration_fixture.h"
#include "startup/setup_state.h"

namespace setup {
namespace {

using ShellLinkIntegrationTest = ShortcutIntegrationTest;

TEST_F(ShellLinkIntegrationTest, OneLinkOfEachKindIsReadBackAndRemoved) {
  LoadProduct({});
  const struct {
    int kind;
    const char* folder;
  } kinds[] = {{kShortcutPrograms, "Programs"},
               {kShortcutDesktop, "Desktop"},
               {kShortcutStartup, "Startup"}};
  for (const auto& k : kinds) {
    SCOPED_TRACE(k.folder);
    const std::string folder = ShellFolder(k.folder);
    ASSERT_FALSE(folder.empty());
    const std::string link = folder + "\\" + kTitle + ".lnk";
    ASSERT_FALSE(Exists(link));

    UpdateShortcuts(k.kind, 0);

    const LinkContents contents = ReadLink(link);
    ASSERT_TRUE(contents.loaded) << link;
    EXPECT_EQ(contents.path, installDir_ + "NOTES.EXE");
    EXPECT_EQ(contents.arguments, "");
    EXPECT_EQ(contents.description, kTitle);
    EXPECT_EQ(contents.workingDirectory, installDir_);
    EXPECT_FALSE(Exists(folder + "\\" + kTitle)) << "no group folder without [Group] items";

    UpdateShortcuts(k.kind, 1);
    EXPECT_FALSE(Exists(link));
  }
  EXPECT_EQ(recorder_.messageBoxes, 0);
  EXPECT_TRUE(recorder_.transactions.empty());
}

TEST_F(ShellLinkIntegrationTest, GroupFolderLinksCarryTheirArguments) {
  LoadProduct({"メモ帳,NOTES.EXE", "Read me,NOTES.EXE,README.TXT,/fast", "Help,NOTES.HLP"});
  const std::string group = ShellFolder("Programs") + "\\" + kTitle;

  UpdateShortcuts(kShortcutPrograms, 0);

  const struct {
    const char* caption;
    const char* program;
    const char* arguments;
  } links[] = {{"メモ帳", "NOTES.EXE", ""},
               {"Read me", "NOTES.EXE", "README.TXT,/fast"},
               {"Help", "NOTES.HLP", ""}};
  for (const auto& l : links) {
    SCOPED_TRACE(l.caption);
    const LinkContents contents = ReadLink(group + "\\" + l.caption + ".lnk");
    ASSERT_TRUE(contents.loaded);
    EXPECT_EQ(contents.path, installDir_ + l.program);
    EXPECT_EQ(contents.arguments, l.arguments);
    EXPECT_EQ(contents.description, l.caption);
    EXPECT_EQ(contents.workingDirectory, installDir_);
  }

  // The removal deletes a file the user put there as well; a sub-folder of
  // the user's keeps the group folder in place until it is gone.
  WriteFileBytes(group + "\\notes.txt", "mine");
  ASSERT_TRUE(CreateDirectoryA((group + "\\Old").c_str(), nullptr));
  UpdateShortcuts(kShortcutPrograms, 1);
  EXPECT_TRUE(Exists(group + "\\Old"));
  EXPECT_FALSE(Exists(group + "\\notes.txt"));
  EXPECT_FALSE(Exists(group + "\\Help.lnk"));
  RemoveDirectoryA((group + "\\Old").c_str());
  UpdateShortcuts(kShortcutPrograms, 1);
  EXPECT_FALSE(Exists(group));
  EXPECT_EQ(recorder_.messageBoxes, 0);
}

}  // namespace
}  // namespace setup
