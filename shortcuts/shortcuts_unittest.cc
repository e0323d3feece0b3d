#include "shortcuts/shortcuts.h"

#include <algorithm>
#include <string>
#include <vector>

#include "startup/setup_description.h"
#include "tests/unit/setup_test.h"

namespace setup {
namespace {

const char kShellFolders[] =
    "HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\"
    "Shell Folders";
const char kPrograms[] = "C:\\WINDOWS\\Start Menu\\Programs";
const char kDesktop[] = "C:\\WINDOWS\\Desktop";
const char kStartup[] = "C:\\WINDOWS\\Start Menu\\Programs\\Startup";
const char kInstallDir[] = "C:\\Program Files\\SampleNotes\\";
const char kGroupFolder[] = "C:\\WINDOWS\\Start Menu\\Programs\\Sample Notes";

const std::vector<std::string> kThreeItems = {
    "Notes program,NOTES.EXE", "Read me,NOTES.EXE,README.TXT,/fast", "Help,NOTES.HLP"};

class ShortcutsTest : public SetupTest {
 protected:
  // Loads the product "Sample Notes" ([Install] entry 1 written as
  // `entry1`) with the given [Group] items, on the new shell.
  void Load(const std::vector<std::string>& groupItems,
            const std::string& entry1 = "NOTES.EXE") {
    std::vector<std::string> lines = {"[Install]", "Title=Sample Notes",
                                      "Folder=SampleNotes", "1=" + entry1};
    if (!groupItems.empty()) lines.push_back("[Group]");
    for (size_t i = 0; i < groupItems.size(); ++i) {
      lines.push_back(std::to_string(i + 1) + "=" + groupItems[i]);
    }
    WriteInf(lines);
    ASSERT_EQ(LoadSetupDescription(), 1);
    ASSERT_STREQ(state().installDir, kInstallDir);
    state().newShell = 1;
  }

  // Every file and folder under C:\WINDOWS (where all shell folders are).
  std::vector<std::string> Shell() const { return fake_.ListTree("C:\\WINDOWS"); }

  const FakePlatform::SavedLink* Link(const std::string& path) const {
    auto it = fake_.savedLinks.find(Upper(path));
    return it == fake_.savedLinks.end() ? nullptr : &it->second;
  }

  static std::string Upper(std::string text) {
    for (char& c : text) {
      if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    }
    return text;
  }

  void ExpectBalanced() {
    EXPECT_EQ(fake_.coInitializeCalls, fake_.coUninitializeCalls);
    EXPECT_EQ(fake_.liveLinks, 0) << "a link object was not released";
    EXPECT_TRUE(fake_.messageBoxes.empty());
    EXPECT_TRUE(fake_.ddeCommands.empty());
  }
};

TEST_F(ShortcutsTest, SingleLinkForEveryKindAndItsRemoval) {
  struct Case {
    int kind;
    size_t items;
    const char* folder;
  } cases[] = {
      {kShortcutPrograms, 0, kPrograms},
      {kShortcutDesktop, 0, kDesktop},
      {kShortcutStartup, 0, kStartup},
      // Desktop and Startup ignore [Group] items.
      {kShortcutDesktop, 3, kDesktop},
      {kShortcutStartup, 3, kStartup},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE("kind " + std::to_string(c.kind) + " items " + std::to_string(c.items));
    ResetState();
    Load(std::vector<std::string>(kThreeItems.begin(), kThreeItems.begin() + c.items));
    const std::vector<std::string> before = Shell();
    const std::string linkPath = std::string(c.folder) + "\\Sample Notes.lnk";

    UpdateShortcuts(c.kind, 0);

    std::vector<std::string> expected = before;
    expected.push_back(linkPath);
    std::sort(expected.begin(), expected.end());
    std::vector<std::string> after = Shell();
    std::sort(after.begin(), after.end());
    EXPECT_EQ(after, expected);  // exactly one new file, no folder
    const FakePlatform::SavedLink* link = Link(linkPath);
    ASSERT_NE(link, nullptr);
    EXPECT_EQ(link->path, std::string(kInstallDir) + "NOTES.EXE");
    EXPECT_FALSE(link->hasArguments);
    EXPECT_EQ(link->description, "Sample Notes");
    EXPECT_EQ(link->workingDirectory, kInstallDir);

    UpdateShortcuts(c.kind, 1);
    EXPECT_EQ(Shell(), before);
    ExpectBalanced();
  }
}

TEST_F(ShortcutsTest, CallsOnOneLinkObjectInOrder) {
  Load({"Read me,DOC\\VIEW.EXE,README.TXT,/fast"});
  UpdateShortcuts(kShortcutPrograms, 0);
  const std::string dir = kInstallDir;
  const std::string linkPath = std::string(kGroupFolder) + "\\Read me.lnk";
  EXPECT_EQ(fake_.linkLog,
            (std::vector<std::string>{"1:SetArguments(README.TXT,/fast)",
                                      "1:SetPath(" + dir + "DOC\\VIEW.EXE)",
                                      "1:SetDescription(Read me)",
                                      "1:SetWorkingDirectory(" + dir + ")",
                                      "1:QueryInterface(IPersistFile)",
                                      "1:Save(" + linkPath + ",TRUE)",
                                      "1:Release(IPersistFile)", "1:Release(IShellLinkA)"}));
  EXPECT_EQ(fake_.coInitializeCalls, 1);
  ExpectBalanced();
}

TEST_F(ShortcutsTest, InstallEntryWithTargetGivesNoArguments) {
  // "source,target": the link starts the target; only a comma inside the
  // target part starts arguments.
  Load({}, "BIN\\NOTES.EX_,NOTES.EXE");
  UpdateShortcuts(kShortcutDesktop, 0);
  const FakePlatform::SavedLink* link = Link(std::string(kDesktop) + "\\Sample Notes.lnk");
  ASSERT_NE(link, nullptr);
  EXPECT_EQ(link->path, std::string(kInstallDir) + "NOTES.EXE");
  EXPECT_FALSE(link->hasArguments);

  ResetState();
  Load({}, "BIN\\NOTES.EX_,NOTES.EXE,-q,x");
  UpdateShortcuts(kShortcutStartup, 0);
  link = Link(std::string(kStartup) + "\\Sample Notes.lnk");
  ASSERT_NE(link, nullptr);
  EXPECT_EQ(link->path, std::string(kInstallDir) + "NOTES.EXE");
  EXPECT_TRUE(link->hasArguments);
  EXPECT_EQ(link->arguments, "-q,x");
  ExpectBalanced();
}

TEST_F(ShortcutsTest, GroupFolderWithItsLinksAndItsRemoval) {
  Load(kThreeItems);
  UpdateShortcuts(kShortcutPrograms, 0);
  const std::string group = kGroupFolder;
  EXPECT_TRUE(fake_.IsFolder(group));
  EXPECT_EQ(fake_.ListTree(group),
            (std::vector<std::string>{group + "\\Help.lnk", group + "\\Notes program.lnk",
                                      group + "\\Read me.lnk"}));
  // One fresh object per link, in item order.
  std::vector<std::string> saves;
  for (const std::string& entry : fake_.linkLog) {
    if (entry.find(":Save(") != std::string::npos) saves.push_back(entry);
  }
  EXPECT_EQ(saves, (std::vector<std::string>{"1:Save(" + group + "\\Notes program.lnk,TRUE)",
                                             "2:Save(" + group + "\\Read me.lnk,TRUE)",
                                             "3:Save(" + group + "\\Help.lnk,TRUE)"}));
  const FakePlatform::SavedLink* readMe = Link(group + "\\Read me.lnk");
  ASSERT_NE(readMe, nullptr);
  EXPECT_EQ(readMe->path, std::string(kInstallDir) + "NOTES.EXE");
  EXPECT_EQ(readMe->arguments, "README.TXT,/fast");
  EXPECT_EQ(readMe->description, "Read me");
  EXPECT_EQ(fake_.coInitializeCalls, 1);
  EXPECT_FALSE(fake_.Exists(std::string(kPrograms) + "\\Sample Notes.lnk"));

  // A file and a sub-folder of the user's: every file goes, the sub-folder
  // keeps the group folder in place.
  fake_.AddFile(group + "\\My notes.txt", "mine");
  fake_.AddFolder(group + "\\Old");
  UpdateShortcuts(kShortcutPrograms, 1);
  EXPECT_EQ(fake_.ListTree(group), (std::vector<std::string>{group + "\\Old\\"}));
  // Without the sub-folder, the folder itself goes.
  UpdateShortcuts(kShortcutPrograms, 0);
  fake_.AddFile(group + "\\My notes.txt", "mine");
  EXPECT_EQ(fake_.RemoveDirectoryA((group + "\\Old").c_str()), 1);
  UpdateShortcuts(kShortcutPrograms, 1);
  EXPECT_FALSE(fake_.Exists(group));
  EXPECT_EQ(fake_.OpenFinds(), 0);
  ExpectBalanced();
}

TEST_F(ShortcutsTest, RemovingWhatWasNeverMadeDoesNothing) {
  Load(kThreeItems);
  const std::vector<std::string> before = Shell();
  for (int kind : {kShortcutPrograms, kShortcutDesktop, kShortcutStartup}) {
    UpdateShortcuts(kind, 1);
  }
  ResetState();
  Load({});
  for (int kind : {kShortcutPrograms, kShortcutDesktop, kShortcutStartup}) {
    UpdateShortcuts(kind, 1);
  }
  EXPECT_EQ(Shell(), before);
  EXPECT_EQ(fake_.coInitializeCalls, 0);  // removal makes no COM call
  EXPECT_EQ(fake_.linksCreated, 0);
  ExpectBalanced();
}

TEST_F(ShortcutsTest, LinkObjectFailuresSkipOnlyThatLink) {
  Load(kThreeItems);
  fake_.failCreateLink = {2};
  fake_.refusePersistFile = {3};
  UpdateShortcuts(kShortcutPrograms, 0);
  const std::string group = kGroupFolder;
  // Item 2 got no object; item 3's object could not be saved but was
  // released; the loop went on to the end.
  EXPECT_EQ(fake_.ListTree(group), (std::vector<std::string>{group + "\\Notes program.lnk"}));
  EXPECT_EQ(fake_.linksCreated, 3);
  EXPECT_EQ(fake_.linkLog.back(), "3:Release(IShellLinkA)");
  EXPECT_EQ(fake_.coUninitializeCalls, 1);
  ExpectBalanced();

  // Every creation failing: COM is still closed at the end.
  ResetState();
  Load({});
  fake_.failCreateLink = {4};
  UpdateShortcuts(kShortcutDesktop, 0);
  EXPECT_EQ(fake_.coInitializeCalls, 2);
  ExpectBalanced();
}

TEST_F(ShortcutsTest, GroupFolderThatCannotBeMade) {
  // A file bears the group folder's name: CreateFolderLevel reports it, the
  // links are attempted and fail silently.
  Load(kThreeItems);
  fake_.AddFile(kGroupFolder, "in the way");
  UpdateShortcuts(kShortcutPrograms, 0);
  ASSERT_EQ(fake_.messageBoxes.size(), 1u);
  EXPECT_EQ(fake_.messageBoxes[0].text.rfind(kGroupFolder, 0), 0u);
  EXPECT_TRUE(fake_.savedLinks.empty());
  EXPECT_EQ(fake_.linksCreated, 3);
  EXPECT_EQ(fake_.liveLinks, 0);
  EXPECT_EQ(fake_.Content(kGroupFolder), "in the way");
}

// The kind's folder cannot be had: nothing is made or deleted, nothing is
// reported.
enum class FolderFault { kMissingValue, kEmptyValue, kKeyDenied, kValueTooLong, kNoRoomForName };

class NoShellFolderTest : public ShortcutsTest,
                          public testing::WithParamInterface<FolderFault> {};

TEST_P(NoShellFolderTest, NothingHappens) {
  Load({});
  const std::string userLink = std::string(kDesktop) + "\\Sample Notes.lnk";
  fake_.AddFile(userLink, "user's");
  switch (GetParam()) {
    case FolderFault::kMissingValue:
      fake_.FailNext("RegQueryValueExA", kErrorFileNotFound, 2);
      break;
    case FolderFault::kEmptyValue:
      fake_.SetStringValue(kShellFolders, "Desktop", "");
      break;
    case FolderFault::kKeyDenied:
      fake_.DenyOpen(kShellFolders);
      break;
    case FolderFault::kValueTooLong:
      fake_.SetStringValue(kShellFolders, "Desktop", "C:\\" + std::string(300, 'L'));
      break;
    case FolderFault::kNoRoomForName:
      // 259 bytes and the NUL fit the path, the backslash after them not.
      fake_.SetStringValue(kShellFolders, "Desktop", "C:\\" + std::string(256, 'F'));
      break;
  }
  const std::vector<std::string> before = Shell();
  UpdateShortcuts(kShortcutDesktop, 0);
  UpdateShortcuts(kShortcutDesktop, 1);
  EXPECT_EQ(Shell(), before);
  EXPECT_EQ(fake_.Content(userLink), "user's");
  EXPECT_EQ(fake_.Calls("DeleteFileA"), 0);
  EXPECT_EQ(fake_.linksCreated, 0);
  EXPECT_EQ(fake_.coInitializeCalls, 0);
  ExpectBalanced();
}

INSTANTIATE_TEST_SUITE_P(Faults, NoShellFolderTest,
                         testing::Values(FolderFault::kMissingValue, FolderFault::kEmptyValue,
                                         FolderFault::kKeyDenied, FolderFault::kValueTooLong,
                                         FolderFault::kNoRoomForName));

TEST_F(ShortcutsTest, ValueStoredWithoutItsNul) {
  Load({});
  KeyHandle key = 0;
  ASSERT_EQ(fake_.RegOpenKeyExA(kHkeyCurrentUser,
                                "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\"
                                "Shell Folders",
                                kKeyRead, &key),
            0);
  fake_.RegSetValueExA(key, "Startup", kRegSz, kDesktop, sizeof kDesktop - 1);
  fake_.RegCloseKey(key);
  UpdateShortcuts(kShortcutStartup, 0);
  EXPECT_NE(Link(std::string(kDesktop) + "\\Sample Notes.lnk"), nullptr);
  ExpectBalanced();
}

TEST_F(ShortcutsTest, LinkPathsThatDoNotFitAreLeftOut) {
  // Item 2's caption makes its link path longer than 259 bytes; item 3's
  // target did not fit (its entryTarget is empty). Neither gets an object;
  // the others are made.
  const std::string longCaption(215, 'c');
  Load({"Notes program,NOTES.EXE", longCaption + ",NOTES.EXE",
        "Too long,NOTES.EXE," + std::string(240, 'a'), "Help,NOTES.HLP"});
  UpdateShortcuts(kShortcutPrograms, 0);
  const std::string group = kGroupFolder;
  EXPECT_EQ(fake_.ListTree(group), (std::vector<std::string>{group + "\\Help.lnk",
                                                             group + "\\Notes program.lnk"}));
  EXPECT_EQ(fake_.linksCreated, 2);
  for (const auto& saved : fake_.savedLinks) EXPECT_LT(saved.first.size(), kPathSize);
  ExpectBalanced();

  // A title that makes even the group folder's path too long: no folder, no
  // link, and its removal deletes nothing.
  ResetState();
  Load(kThreeItems);
  const std::string longTitle(99, 'T');
  strcpy(state().productTitle, longTitle.c_str());
  fake_.SetStringValue(kShellFolders, "Programs", "C:\\" + std::string(160, 'P'));
  fake_.AddFolder("C:\\" + std::string(160, 'P'));
  UpdateShortcuts(kShortcutPrograms, 0);
  const int deletes = fake_.Calls("DeleteFileA");
  const int removes = fake_.Calls("RemoveDirectoryA");
  UpdateShortcuts(kShortcutPrograms, 1);
  EXPECT_EQ(fake_.ListTree("C:\\" + std::string(160, 'P')), std::vector<std::string>());
  EXPECT_EQ(fake_.Calls("DeleteFileA"), deletes);
  EXPECT_EQ(fake_.Calls("RemoveDirectoryA"), removes);
  EXPECT_EQ(fake_.linksCreated, 2);
  ExpectBalanced();
}

TEST_F(ShortcutsTest, NamesThatReachOutsideTheShellFolderDoNothing) {
  // "." or ".." as the group folder would make the removal empty the
  // Programs folder or the Start menu; a separator would reach other
  // folders. Such a title makes and deletes nothing; so does such a caption
  // for its own link.
  const std::string startMenu = "C:\\WINDOWS\\Start Menu";
  for (const char* title : {".", "..", "...", " . ", "..\\..\\WINDOWS", "Old/New", "A:B"}) {
    SCOPED_TRACE(title);
    ResetState();
    Load(kThreeItems);
    strcpy(state().productTitle, title);
    fake_.AddFile(startMenu + "\\Mine.lnk", "user's");
    fake_.AddFile(std::string(kPrograms) + "\\Mine.lnk", "user's");
    fake_.AddFile(std::string(kDesktop) + "\\Mine.lnk", "user's");
    const std::vector<std::string> before = Shell();
    for (int kind : {kShortcutPrograms, kShortcutDesktop, kShortcutStartup}) {
      UpdateShortcuts(kind, 0);
      UpdateShortcuts(kind, 1);
    }
    EXPECT_EQ(Shell(), before);
    EXPECT_EQ(fake_.linksCreated, 0);
    EXPECT_EQ(fake_.Calls("DeleteFileA"), 0);
    EXPECT_EQ(fake_.Calls("RemoveDirectoryA"), 0);
  }
  // A caption with a separator: only that link is left out. A Shift JIS
  // title whose second byte is 0x5C is a plain name.
  ResetState();
  Load({"..\\..\\Evil,NOTES.EXE", "Help,NOTES.HLP"});
  strcpy(state().productTitle, "\x83\x5C\x83\x74\x83\x67");  // ソフト
  UpdateShortcuts(kShortcutPrograms, 0);
  const std::string group = std::string(kPrograms) + "\\\x83\x5C\x83\x74\x83\x67";
  EXPECT_EQ(fake_.ListTree(group), (std::vector<std::string>{group + "\\Help.lnk"}));
  EXPECT_EQ(fake_.linksCreated, 1);
  ExpectBalanced();
}

}  // namespace
}  // namespace setup
