#include "uninstall/removal.h"

#include <string>
#include <vector>

#include "shortcuts/shortcuts.h"
#include "startup/entry.h"
#include "startup/setup_description.h"
#include "tests/unit/setup_test.h"
#include "uninstall/test_texts.h"
#include "uninstall/uninstall_run.h"

namespace setup {
namespace {

const std::string kDir = "C:\\Program Files\\Soft\\";
const std::string kUninstallKey =
    "HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Soft";
WindowHandle const kOwner = reinterpret_cast<WindowHandle>(0x4321);

class RemovalTest : public SetupTest {
 protected:
  // The product as the install left it: the setup program, SETUP.INF with
  // Title and Folder followed by `lines`, the files `files` (below kDir) and
  // the Uninstall key. Then the state of the uninstall run for it.
  void Install(const std::vector<std::string>& lines,
               const std::vector<std::string>& files) {
    std::vector<std::string> inf = {"[Install]", "Title=Soft", "Folder=Soft"};
    inf.insert(inf.end(), lines.begin(), lines.end());
    WriteInf(inf, kDir);
    for (const std::string& file : files) fake_.AddFile(kDir + file, "data");
    fake_.SetStringValue(kUninstallKey, "UninstallString",
                         "\"" + kDir + "SETUP.EXE\" /r");
    StartRun();
  }

  // What the copy's entry point and dialog do before the removal.
  void StartRun() {
    ResetState();
    state().newShell = 1;
    ASSERT_EQ(DeriveNames((kDir + "SETUP.EXE").c_str()), 1);
    ASSERT_EQ(LoadSetupDescription(), 1);
    PrepareUninstallRun();
    state().messageOwner = kOwner;
  }

  // Makes the shortcuts of all three kinds as the install does; returns
  // what the Windows folder held before.
  std::vector<std::string> MakeShortcuts() {
    const std::vector<std::string> before = fake_.ListTree("C:\\WINDOWS");
    for (int kind : {kShortcutPrograms, kShortcutDesktop, kShortcutStartup}) {
      UpdateShortcuts(kind, 0);
    }
    EXPECT_GE(fake_.ListTree("C:\\WINDOWS").size(), before.size() + 3);
    return before;
  }

  void ExpectErrorBox(size_t index, const std::string& text) {
    ASSERT_LT(index, fake_.messageBoxes.size());
    const FakePlatform::MessageBoxCall& box = fake_.messageBoxes[index];
    EXPECT_EQ(box.text, text) << "box " << index;
    EXPECT_EQ(box.owner, kOwner);
    EXPECT_FALSE(box.hasCaption);
    EXPECT_EQ(box.flags, kMbIconError | kMbOk);
  }
};

TEST_F(RemovalTest, RemovesKeysFilesFolderAndUninstallKey) {
  Install({"1=SOFT.EXE", "2=SOFT.HLP", "3=DATA\\BLANK.DAT,TEMPLATE\\BLANK.DAT", "[Group]",
           "1=Soft,SOFT.EXE", "2=Help,SOFT.HLP", "[Reg]",
           "1=HKEY_CURRENT_USER\\Software\\Soft", "2=HKEY_LOCAL_MACHINE\\SOFTWARE\\Soft\\Notes",
           "3=HKEY_CLASSES_ROOT\\.soft"},
          {"SOFT.EXE", "SOFT.HLP", "TEMPLATE\\BLANK.DAT", "SOFT.GID"});
  fake_.AddKey("HKEY_CURRENT_USER\\Software\\Soft\\Settings\\Window\\Placement");
  fake_.AddKey("HKEY_CURRENT_USER\\Software\\Soft\\Recent");
  fake_.SetStringValue("HKEY_CURRENT_USER\\Software\\Soft", "Version", "1");
  fake_.AddKey("HKEY_LOCAL_MACHINE\\SOFTWARE\\Soft\\Notes\\Fonts");
  fake_.AddKey("HKEY_LOCAL_MACHINE\\SOFTWARE\\Soft\\Other");
  fake_.AddKey("HKEY_CLASSES_ROOT\\.soft");
  fake_.AddKey("HKEY_CLASSES_ROOT\\.sof");
  const std::vector<std::string> withoutShortcuts = MakeShortcuts();

  EXPECT_EQ(UninstallAll(), 1);
  EXPECT_EQ(fake_.ListTree("C:\\WINDOWS"), withoutShortcuts);
  EXPECT_TRUE(fake_.messageBoxes.empty()) << MessageTexts()[0];
  EXPECT_FALSE(fake_.Exists(kDir));
  EXPECT_TRUE(fake_.IsFolder("C:\\Program Files"));
  EXPECT_FALSE(fake_.KeyExists("HKEY_CURRENT_USER\\Software\\Soft"));
  EXPECT_TRUE(fake_.KeyExists("HKEY_CURRENT_USER\\Software"));
  EXPECT_FALSE(fake_.KeyExists("HKEY_LOCAL_MACHINE\\SOFTWARE\\Soft\\Notes"));
  EXPECT_TRUE(fake_.KeyExists("HKEY_LOCAL_MACHINE\\SOFTWARE\\Soft\\Other"));
  EXPECT_FALSE(fake_.KeyExists("HKEY_CLASSES_ROOT\\.soft"));
  EXPECT_TRUE(fake_.KeyExists("HKEY_CLASSES_ROOT\\.sof"));
  EXPECT_FALSE(fake_.KeyExists(kUninstallKey));
  EXPECT_TRUE(fake_.KeyExists(
      "HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall"));
}

TEST_F(RemovalTest, RegSectionCases) {
  const std::string a = "HKEY_CURRENT_USER\\Software\\A";
  const std::string b = "HKEY_LOCAL_MACHINE\\Software\\B";
  const std::string c = "HKEY_CLASSES_ROOT\\C";
  const std::string users = "HKEY_USERS\\.DEFAULT\\A";
  struct Case {
    const char* name;
    std::vector<std::string> reg;
    std::vector<std::string> deleted;
    std::vector<std::string> kept;
    size_t badRegMessages;
  } cases[] = {
      {"1, 2 and 4: 4 is never read",
       {"1=" + a, "2=" + b, "4=" + c}, {a, b}, {c}, 0},
      {"an empty value at 2 ends the loop", {"1=" + a, "2=", "3=" + b}, {a}, {b}, 0},
      {"a lower-case root and HKEY_USERS are skipped",
       {"1=hkey_current_user\\Software\\A", "2=" + users, "3=" + b}, {b}, {a, users}, 2},
      {"a root alone, or with separators alone, names no key",
       {"1=HKEY_CURRENT_USER", "2=HKEY_LOCAL_MACHINE\\", "3=HKEY_CLASSES_ROOT\\\\",
        "4=HKEY_CURRENT_USERX", "5=" + c},
       {c}, {a, b, users}, 4},
  };
  for (const Case& test : cases) {
    SCOPED_TRACE(test.name);
    fake_.messageBoxes.clear();
    for (const std::string& key : {a + "\\Sub\\Deeper", b, c + "\\Shell", users}) {
      fake_.AddKey(key);
    }
    std::vector<std::string> lines = {"[Reg]"};
    lines.insert(lines.end(), test.reg.begin(), test.reg.end());
    Install(lines, {});

    EXPECT_EQ(UninstallAll(), 1);  // the registry never changes the result
    for (const std::string& key : test.deleted) EXPECT_FALSE(fake_.KeyExists(key)) << key;
    for (const std::string& key : test.kept) EXPECT_TRUE(fake_.KeyExists(key)) << key;
    // The roots keep their content.
    EXPECT_TRUE(fake_.KeyExists(
        "HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\"
        "Shell Folders"));
    EXPECT_TRUE(fake_.KeyExists(
        "HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall"));
    ASSERT_EQ(fake_.messageBoxes.size(), test.badRegMessages);
    for (size_t i = 0; i < test.badRegMessages; ++i) ExpectErrorBox(i, test_texts::kBadReg);
  }
}

TEST_F(RemovalTest, RegistryTreeStepsOverSubkeysThatResist) {
  const std::string soft = "HKEY_CURRENT_USER\\Software\\Soft";
  fake_.AddKey(soft + "\\A\\A1");
  fake_.AddKey(soft + "\\A\\A2\\A21");
  fake_.DenyDelete(soft + "\\B");
  fake_.AddKey(soft + "\\C\\C1");
  fake_.DenyDelete(soft + "\\C\\C1\\C11");
  fake_.DenyOpen(soft + "\\D");  // cannot be listed, but holds nothing
  fake_.AddKey(soft + "\\E");

  DeleteRegistryTree(kHkeyCurrentUser, "Software\\Soft");

  EXPECT_FALSE(fake_.KeyExists(soft + "\\A"));
  EXPECT_FALSE(fake_.KeyExists(soft + "\\D"));
  EXPECT_FALSE(fake_.KeyExists(soft + "\\E"));
  EXPECT_TRUE(fake_.KeyExists(soft + "\\B"));
  EXPECT_TRUE(fake_.KeyExists(soft + "\\C\\C1\\C11"));  // with its parents
  EXPECT_TRUE(fake_.KeyExists(soft + "\\C\\C1"));
  EXPECT_TRUE(fake_.KeyExists(soft));
  EXPECT_TRUE(fake_.messageBoxes.empty());
}

TEST_F(RemovalTest, WithoutEntriesOnlyTheSetupFilesAndTheFolderGo) {
  Install({}, {"HELP.GID"});
  ASSERT_EQ(state().installEntryCount, 0);
  EXPECT_EQ(UninstallAll(), 1);
  EXPECT_TRUE(fake_.messageBoxes.empty());
  EXPECT_FALSE(fake_.Exists(kDir));
  EXPECT_FALSE(fake_.KeyExists(kUninstallKey));
}

TEST_F(RemovalTest, LockedProgramStopsEarlyThenASecondRunCompletes) {
  Install({"1=SOFT.EXE", "2=SOFT.DLL", "3=README.TXT", "[Reg]",
           "1=HKEY_CURRENT_USER\\Software\\Soft"},
          {"SOFT.EXE", "SOFT.DLL", "README.TXT", "USER.DAT"});
  fake_.AddKey("HKEY_CURRENT_USER\\Software\\Soft");
  fake_.Lock(kDir + "SOFT.EXE");
  const std::vector<std::string> withoutShortcuts = MakeShortcuts();
  const std::vector<std::string> withShortcuts = fake_.ListTree("C:\\WINDOWS");

  EXPECT_EQ(UninstallAll(), 0);
  ASSERT_EQ(fake_.messageBoxes.size(), 2u) << "nothing is asked after the stop";
  ExpectErrorBox(0, kDir + "SOFT.EXE" + test_texts::kRemoveFailed);
  ExpectErrorBox(1, kDir + "SOFT.EXE" + test_texts::kProgramLockedMiddle + "Soft" +
                        test_texts::kProgramLockedSuffix);
  // Entries above 1 are gone; what the registered command needs stays.
  EXPECT_FALSE(fake_.Exists(kDir + "SOFT.DLL"));
  EXPECT_FALSE(fake_.Exists(kDir + "README.TXT"));
  for (const char* kept : {"SOFT.EXE", "SETUP.INF", "SETUP.EXE", "USER.DAT"}) {
    EXPECT_TRUE(fake_.Exists(kDir + kept)) << kept;
  }
  EXPECT_TRUE(fake_.KeyExists(kUninstallKey));
  EXPECT_EQ(fake_.ListTree("C:\\WINDOWS"), withShortcuts);
  EXPECT_FALSE(fake_.KeyExists("HKEY_CURRENT_USER\\Software\\Soft"));

  // The product has ended: the registered command runs again.
  fake_.Lock(kDir + "SOFT.EXE", false);
  fake_.messageBoxes.clear();
  StartRun();
  EXPECT_EQ(UninstallAll(), 1);
  ASSERT_EQ(MessageTexts(), std::vector<std::string>{kDir + "USER.DAT" + test_texts::kQuestion});
  EXPECT_FALSE(fake_.Exists(kDir));
  EXPECT_FALSE(fake_.KeyExists(kUninstallKey));
  EXPECT_EQ(fake_.ListTree("C:\\WINDOWS"), withoutShortcuts);
}

TEST_F(RemovalTest, OtherLockedFileIsReportedAndTheRemovalGoesOn) {
  Install({"1=SOFT.EXE", "2=SOFT.DLL", "3=README.TXT"}, {"SOFT.EXE", "SOFT.DLL", "README.TXT"});
  fake_.Lock(kDir + "SOFT.DLL");

  EXPECT_EQ(UninstallAll(), 0);
  const std::string dll = kDir + "SOFT.DLL";
  ASSERT_EQ(fake_.messageBoxes.size(), 4u);
  ExpectErrorBox(0, dll + test_texts::kRemoveFailed);
  // The folder walk meets it again: asked about, then it fails once more.
  EXPECT_EQ(fake_.messageBoxes[1].text, dll + test_texts::kQuestion);
  ExpectErrorBox(2, dll + test_texts::kRemoveFailed);
  ExpectErrorBox(3, "C:\\Program Files\\Soft" + std::string(test_texts::kFolderFailed));
  EXPECT_EQ(fake_.ListTree(kDir), std::vector<std::string>{dll});
  EXPECT_FALSE(fake_.KeyExists(kUninstallKey));  // removed all the same
}

TEST_F(RemovalTest, EntryWhoseTargetDoesNotFitIsPassedOver) {
  // A folder of 250 bytes: entry 1's target would need 260 bytes, so the
  // install could never have made it; nothing is looked up for it.
  const std::string dir = "C:\\" + std::string(246, 'D') + "\\";
  WriteInf({"[Install]", "Title=Soft", "Folder=Soft", "1=PROGRAM.EXE"}, dir);
  ResetState();
  ASSERT_EQ(DeriveNames((dir + "SETUP.EXE").c_str()), 1);
  ASSERT_EQ(LoadSetupDescription(), 1);
  PrepareUninstallRun();
  ASSERT_EQ(state().installEntryCount, 1);
  EXPECT_EQ(UninstallAll(), 1);
  EXPECT_TRUE(fake_.messageBoxes.empty());
  EXPECT_FALSE(fake_.Exists(dir));
}

TEST_F(RemovalTest, RemoveFileOfAMissingFileSucceedsSilently) {
  EXPECT_EQ(RemoveFile("C:\\NOWHERE\\GONE.TXT"), 1);
  EXPECT_EQ(fake_.Calls("DeleteFileA"), 0);
  EXPECT_TRUE(fake_.messageBoxes.empty());
}

}  // namespace
}  // namespace setup
