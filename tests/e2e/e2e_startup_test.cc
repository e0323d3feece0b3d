// Start-up as the user meets it: a missing or damaged setup description ends
// SETUP.EXE after one error box and leaves no trace, and the command line
// selects which folder's setup description is loaded.
#include <string>
#include <vector>

#include "tests/e2e/e2e_fixture.h"

namespace e2e {
namespace {

// A setup description that loads.
const std::vector<std::string> kValidInf = {
    "[Install]",
    "Title=E2E Start",
    "Folder=E2eStart",
};

struct DamagedCase {
  const char* name;
  bool has_inf;
  std::vector<std::string> inf_lines;
};

class DamagedSetupFileTest : public SetupTest,
                             public ::testing::WithParamInterface<DamagedCase> {
};

TEST_P(DamagedSetupFileTest, OneErrorBoxThenExitWithoutTrace) {
  const DamagedCase& c = GetParam();
  CleanupProduct("E2eStart");
  std::string dist = c.has_inf ? MakeDistribution("disk1", c.inf_lines)
                               : MakeDistributionWithoutInf("disk1");
  std::vector<std::string> files_before = ListTree(work());
  std::vector<std::string> uninstall_before =
      SubkeyNames(HKEY_LOCAL_MACHINE, kUninstallKey);
  std::vector<std::string> software_before =
      SubkeyNames(HKEY_CURRENT_USER, "Software");

  StartSetup(dist);
  ExpectDamagedSetupFileAndExit();

  EXPECT_EQ(ListTree(work()), files_before);
  EXPECT_FALSE(FolderExists(DefaultInstallDir("E2eStart")));
  EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE,
                         std::string(kUninstallKey) + "E2eStart"));
  EXPECT_EQ(SubkeyNames(HKEY_LOCAL_MACHINE, kUninstallKey), uninstall_before);
  EXPECT_EQ(SubkeyNames(HKEY_CURRENT_USER, "Software"), software_before);
}

INSTANTIATE_TEST_SUITE_P(
    Startup, DamagedSetupFileTest,
    ::testing::Values(
        DamagedCase{"NoInf", false, {}},
        DamagedCase{"EmptyTitle", true,
                    {"[Install]", "Title=", "Folder=E2eStart",
                     "1=NOTES.EXE"}},
        DamagedCase{"EmptyFolder", true,
                    {"[Install]", "Title=E2E Start", "Folder=",
                     "1=NOTES.EXE"}},
        DamagedCase{"NoTitleKey", true,
                    {"[Install]", "Folder=E2eStart"}},
        DamagedCase{"NoInstallSection", true,
                    {"[Setup]", "Title=E2E Start", "Folder=E2eStart"}}),
    [](const ::testing::TestParamInfo<DamagedCase>& info) {
      return std::string(info.param.name);
    });

// Which folder's setup description a command line makes SETUP.EXE load. The
// program lies in "disk1"; the command line may name a setup program in
// another folder (with a blank, or with a double-byte name whose second
// byte is a backslash). Only one of the two folders holds SETUP.INF, so the
// error box shows exactly when the mode reads the other one.
const char kOther[] = "other dir";
// "表" is 0x95 0x5C in Shift JIS: its second byte is a backslash.
const char kOtherDoubleByte[] = "表示 フォルダ";

struct ModeCase {
  const char* name;
  const char* arguments;  // "{other}" stands for the other setup program
  const char* other_folder;
  bool inf_beside_program;
  bool error_expected;
};

class ModeLetterTest : public SetupTest,
                       public ::testing::WithParamInterface<ModeCase> {};

TEST_P(ModeLetterTest, LoadsTheSetupDescriptionTheModeNames) {
  const ModeCase& c = GetParam();
  CleanupProduct("E2eStart");
  std::string disk1 = c.inf_beside_program
                          ? MakeDistribution("disk1", kValidInf)
                          : MakeDistributionWithoutInf("disk1");
  std::string other_name = c.other_folder;
  std::string other = c.inf_beside_program
                          ? MakeDistributionWithoutInf(other_name)
                          : MakeDistribution(other_name, kValidInf);

  std::string arguments = c.arguments;
  size_t slot = arguments.find("{other}");
  if (slot != std::string::npos) {
    arguments.replace(slot, 7, other + "SETUP.EXE");
  }
  StartSetup(disk1, arguments);

  if (c.error_expected) {
    ExpectDamagedSetupFileAndExit();
    return;
  }
  // The description loaded, so the mode runs: as far as the modes are
  // built, it either ends at once with exit code 1 or shows its first
  // window. Either way the load error must not show.
  DWORD exit_code = 0;
  HWND window = nullptr;
  uidriver::Outcome outcome = uidriver::WaitForExitOrWindow(
      setup(), kWindowTimeoutMs, &exit_code, &window);
  ASSERT_NE(outcome, uidriver::Outcome::kTimeout);
  if (outcome == uidriver::Outcome::kExited) {
    EXPECT_EQ(exit_code, 1u);
    return;
  }
  uidriver::MessageBoxInfo box;
  if (uidriver::ReadMessageBox(window, &box)) {
    EXPECT_NE(box.text, kDamagedSetupFileText)
        << "the mode read the setup description of the wrong folder";
  }
}

INSTANTIATE_TEST_SUITE_P(
    Startup, ModeLetterTest,
    ::testing::Values(
        // No letter: the wizard reads the description beside the program.
        ModeCase{"EmptyLoadsBesideProgram", "", kOther, true, false},
        ModeCase{"EmptyIgnoresOtherFolder", "", kOther, false, true},
        // "/r" (and any word that begins with r): the hand-off, same folder.
        ModeCase{"SlashRLoadsBesideProgram", "/r", kOther, true, false},
        ModeCase{"SlashRIgnoresOtherFolder", "/r", kOther, false, true},
        ModeCase{"RemoveIgnoresOtherFolder", "remove", kOther, false, true},
        // "x" + one character + path: the folder of that path, blanks kept.
        ModeCase{"XLoadsFromPath", "x {other}", kOther, false, false},
        ModeCase{"XIgnoresProgramFolder", "x {other}", kOther, true, true},
        ModeCase{"SlashXLoadsFromPath", "/x {other}", kOther, false, false},
        ModeCase{"XDoubleByteFolderLoadsFromPath", "x {other}",
                 kOtherDoubleByte, false, false},
        // Upper-case "X" is no mode letter: the wizard, beside the program.
        ModeCase{"UpperXLoadsBesideProgram", "X {other}", kOther, true, false},
        ModeCase{"UpperXIgnoresPath", "X {other}", kOther, false, true}),
    [](const ::testing::TestParamInfo<ModeCase>& info) {
      return std::string(info.param.name);
    });

}  // namespace
}  // namespace e2e
