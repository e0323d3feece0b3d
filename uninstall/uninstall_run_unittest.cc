#include "uninstall/uninstall_run.h"

#include <string>
#include <vector>

#include "startup/entry.h"
#include "tests/unit/setup_test.h"
#include "uninstall/hand_off.h"
#include "uninstall/removal.h"
#include "uninstall/test_texts.h"

namespace setup {
namespace {

class UninstallRunTest : public SetupTest {};

TEST_F(UninstallRunTest, DialogTexts) {
  strcpy(state().productTitle, "Soft");
  char text[kUninstallTextSize];
  ComposeUninstallCaption(text);
  EXPECT_EQ(std::string(text), std::string("Soft") + test_texts::kCaptionSuffix);
  strcpy(state().installDir, "C:\\Soft\\");
  ComposeOutcomeText(1, text);
  EXPECT_EQ(std::string(text), std::string("Soft") + test_texts::kRemoved);
  ComposeOutcomeText(0, text);
  EXPECT_EQ(std::string(text), std::string("C:\\Soft\\") + test_texts::kFilesLeft);

  // The longest title and folder fit whole.
  const std::string title(99, 'T');
  const std::string folder = "C:\\" + std::string(255, 'F') + "\\";
  strcpy(state().productTitle, title.c_str());
  strcpy(state().installDir, folder.c_str());
  ComposeUninstallCaption(text);
  EXPECT_EQ(std::string(text), title + test_texts::kCaptionSuffix);
  ComposeOutcomeText(1, text);
  EXPECT_EQ(std::string(text), title + test_texts::kRemoved);
  ComposeOutcomeText(0, text);
  EXPECT_EQ(std::string(text), folder + test_texts::kFilesLeft);
}

// The two processes of an uninstall as the user starts it from the list of
// installed programs: the installed SETUP.EXE with "/r", then the copy that
// it starts, each through the entry point, against one file system.
TEST_F(UninstallRunTest, HandOffThenRunRemovesTheProductAndSchedulesTheCopy) {
  const std::string dir = "C:\\Program Files\\Soft Notes\\";
  WriteInf({"[Install]", "Title=Soft Notes", "Folder=SoftNotes", "1=NOTES.EXE", "[Reg]",
            "1=HKEY_CURRENT_USER\\Software\\Soft"},
           dir);
  fake_.AddFile(dir + "NOTES.EXE", "MZ");
  fake_.AddFile(dir + "MY NOTE.TXT", "user's own");
  fake_.AddKey("HKEY_CURRENT_USER\\Software\\Soft\\Window");
  const std::string uninstallKey =
      "HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\"
      "SoftNotes";
  fake_.SetStringValue(uninstallKey, "UninstallString", "\"" + dir + "SETUP.EXE\" /r");

  static int removed;
  static char outcome[kUninstallTextSize];
  removed = -1;
  // The dialog's part: installDir, the removal at the first tick, the
  // outcome, then the deletion at restart once it has closed.
  const ModeHandlers modes = {
      [] { FAIL() << "no wizard"; }, HandOffUninstall, [] {
        PrepareUninstallRun();
        removed = UninstallAll();
        ComposeOutcomeText(removed, outcome);
        ScheduleOwnDeletion();
      }};

  ResetState();
  fake_.modulePath = dir + "SETUP.EXE";
  fake_.currentDirectory = dir;
  RunSetup(nullptr, "/r", modes);
  ASSERT_EQ(fake_.winExecs.size(), 1u);
  const std::string line = fake_.winExecs[0].commandLine;
  const std::string copy = "C:\\WINDOWS\\SYSTEM\\SETUP.EXE";
  ASSERT_EQ(line.compare(0, copy.size() + 2, "\"" + copy + "\""), 0) << line;
  EXPECT_TRUE(fake_.Exists(copy));

  // The copy: the platform hands WinMain what follows its quoted name.
  ResetState();
  fake_.modulePath = copy;
  fake_.messageBoxes.clear();
  fake_.answers = {kIdNo};  // keep the user's file
  RunSetup(nullptr, line.substr(copy.size() + 3).c_str(), modes);
  EXPECT_EQ(removed, 0);
  EXPECT_EQ(std::string(outcome), dir + test_texts::kFilesLeft);
  EXPECT_EQ(MessageTexts(),
            (std::vector<std::string>{
                dir + "MY NOTE.TXT" + test_texts::kQuestion,
                "C:\\Program Files\\Soft Notes" + std::string(test_texts::kFolderFailed)}));
  EXPECT_EQ(fake_.ListTree(dir), std::vector<std::string>{dir + "MY NOTE.TXT"});
  EXPECT_FALSE(fake_.KeyExists(uninstallKey));
  EXPECT_FALSE(fake_.KeyExists("HKEY_CURRENT_USER\\Software\\Soft"));
  EXPECT_EQ(fake_.pendingDeletes, std::vector<std::string>{copy});
}

}  // namespace
}  // namespace setup
