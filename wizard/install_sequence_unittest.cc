#include "wizard/install_sequence.h"

#include <string>
#include <vector>

#include "startup/setup_description.h"
#include "tests/unit/setup_test.h"

namespace setup {
namespace {

const char kDir[] = "C:\\Program Files\\Notes\\";

// Records what the sequence does to the page, one line per call.
class RecordingCopyPage : public CopyPageView {
 public:
  void SetProgressRange(uint16_t maximum) override {
    log.push_back("range 0.." + std::to_string(maximum));
  }
  void AdvanceProgress() override { log.push_back("advance"); }
  void HideProgress() override { log.push_back("hide bar"); }
  void SetStatusText(const char* text) override { log.push_back(std::string("text ") + text); }
  void ShowRemoveHint() override { log.push_back("show hint"); }
  void PostNextStep() override {
    log.push_back("post step");
    ++pendingSteps;
  }
  void PostFinishButton() override { log.push_back("post finish"); }

  std::vector<std::string> log;
  int pendingSteps = 0;
};

class InstallSequenceTest : public SetupTest {
 protected:
  InstallSequenceTest() {
    state().messageOwner = kPage;
    state().newShell = 1;
  }

  // Writes the setup description with `entries` as [Install] 1, 2, ... and
  // loads it with installDir := kDir.
  void Load(const std::vector<std::string>& entries,
            const std::vector<std::string>& more = {}) {
    std::vector<std::string> lines = {"[Install]", "Title=Notes", "Folder=Notes"};
    for (size_t i = 0; i < entries.size(); ++i) {
      lines.push_back(std::to_string(i + 1) + "=" + entries[i]);
    }
    lines.insert(lines.end(), more.begin(), more.end());
    WriteInf(lines);
    fake_.currentDirectory = "D:\\DISK1";
    ASSERT_EQ(LoadSetupDescription(), 1);
    strcpy(state().installDir, kDir);
  }

  // Runs one step, as the page does for one step message.
  void Step() {
    if (page_.pendingSteps > 0) --page_.pendingSteps;
    RunInstallStep(page_);
  }

  // Runs the first step, then one step for each posted step message.
  void RunToEnd() {
    Step();
    while (page_.pendingSteps > 0) Step();
  }

  std::string Target(const std::string& tail) const { return kDir + tail; }

  static WindowHandle const kPage;
  RecordingCopyPage page_;
};

WindowHandle const InstallSequenceTest::kPage = reinterpret_cast<WindowHandle>(0x103);

TEST_F(InstallSequenceTest, StepTableWithoutEntries) {
  Load({});
  RunToEnd();
  EXPECT_EQ(page_.log, (std::vector<std::string>{
                           "range 0..3", "advance", "post step",  // folder
                           "advance", "post step",                // SETUP.EXE
                           "advance", "post step",                // SETUP.INF
                           "advance", "hide bar",                 // shortcuts, registration
                           "text インストールが完了しました。「完了」を押すと起動します。",
                           "show hint", "post finish"}));
  EXPECT_EQ(fake_.ListTree(kDir),
            (std::vector<std::string>{Target("SETUP.EXE"), Target("SETUP.INF")}));
  EXPECT_EQ(state().installStep, 4);
  EXPECT_TRUE(fake_.KeyExists(std::string("HKEY_LOCAL_MACHINE\\") + kUninstallKeyPrefix + "Notes"));
  EXPECT_TRUE(fake_.messageBoxes.empty());

  // A stray step message after the end changes nothing.
  const size_t logged = page_.log.size();
  Step();
  EXPECT_EQ(page_.log.size(), logged);
  EXPECT_EQ(state().installStep, 4);
}

TEST_F(InstallSequenceTest, StepTableWithTwoEntries) {
  Load({"NOTES.EXE", "README.SRC,README.TXT"});
  fake_.AddFile("D:\\DISK1\\NOTES.EXE", "exe");
  fake_.AddFile("D:\\DISK1\\README.SRC", "text");
  // What each step adds below the destination.
  const std::vector<std::vector<std::string>> added = {
      {}, {"SETUP.EXE"}, {"SETUP.INF"}, {"NOTES.EXE"}, {"README.TXT"}, {}};
  std::vector<std::string> before;
  for (size_t step = 0; step < added.size(); ++step) {
    SCOPED_TRACE(step);
    Step();
    std::vector<std::string> expected = before;
    for (const std::string& name : added[step]) expected.push_back(Target(name));
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(fake_.ListTree(kDir), expected);
    before = expected;
  }
  EXPECT_TRUE(fake_.IsFolder(kDir));
  EXPECT_EQ(fake_.Content(Target("README.TXT")), "text");
  EXPECT_EQ(page_.log.front(), "range 0..5");
  EXPECT_EQ(std::count(page_.log.begin(), page_.log.end(), "advance"), 6);
  EXPECT_EQ(std::count(page_.log.begin(), page_.log.end(), "post step"), 5);
  EXPECT_EQ(page_.log.back(), "post finish");
  EXPECT_EQ(page_.pendingSteps, 0);
}

TEST_F(InstallSequenceTest, OldShellKeepsTheHintHidden) {
  state().newShell = 0;
  Load({});
  RunToEnd();
  EXPECT_EQ(std::count(page_.log.begin(), page_.log.end(), "show hint"), 0);
  EXPECT_EQ(page_.log.back(), "post finish");
}

TEST_F(InstallSequenceTest, SubfoldersAreMadeLevelByLevel) {
  Load({"A.DAT,DATA\\SUB\\A.DAT", "B.DAT,\x83\x5C\\B.DAT"});  // ソ\B.DAT
  fake_.AddFile("D:\\DISK1\\A.DAT", "a");
  fake_.AddFile("D:\\DISK1\\B.DAT", "b");
  fake_.AddFolder(kDir);
  for (int entry = 1; entry <= 2; ++entry) {
    ResolveInstallEntry(entry);
    EXPECT_EQ(CopyInstallEntry(), 1);
  }
  EXPECT_TRUE(fake_.IsFolder(Target("DATA")));
  EXPECT_TRUE(fake_.IsFolder(Target("DATA\\SUB")));
  EXPECT_EQ(fake_.Content(Target("DATA\\SUB\\A.DAT")), "a");
  EXPECT_TRUE(fake_.IsFolder(Target("\x83\x5C")));
  EXPECT_EQ(fake_.Content(Target("\x83\x5C\\B.DAT")), "b");
  EXPECT_EQ(fake_.Calls("CreateDirectoryA"), 3);
  EXPECT_TRUE(fake_.messageBoxes.empty());

  // A file in the way of the second level: DATA exists, SUB is refused and
  // the entry is not copied.
  Load({"A.DAT,DATA2\\SUB\\A.DAT"});
  fake_.AddFile(Target("DATA2\\SUB"), "x");
  ResolveInstallEntry(1);
  EXPECT_EQ(CopyInstallEntry(), 0);
  EXPECT_TRUE(fake_.IsFolder(Target("DATA2")));
  EXPECT_EQ(MessageTexts(),
            (std::vector<std::string>{
                Target("DATA2\\SUB") +
                " - 同じ名前のファイルが既に存在するのでフォルダが作成できません。"}));
  EXPECT_FALSE(fake_.Exists(Target("DATA2\\SUB\\A.DAT")));
}

TEST_F(InstallSequenceTest, CopyErrors) {
  struct Case {
    const char* name;
    std::function<void(FakePlatform&)> arrange;
    int result;
    std::string message;  // empty: none
  } cases[] = {
      {"sharing violation",
       [](FakePlatform& f) {
         f.AddFile(std::string(kDir) + "B.DAT", "old");
         f.Lock(std::string(kDir) + "B.DAT");
       },
       0, std::string(kDir) + "B.DAT は他で使用中のため上書きできません。"},
      {"file exists", [](FakePlatform& f) { f.FailNext("CopyFileA", kErrorFileExists); }, 1, ""},
      {"missing source",
       [](FakePlatform& f) {
         f.SetFileAttributesA("D:\\DISK1\\B.SRC", kFileAttributeNormal);
         f.DeleteFileA("D:\\DISK1\\B.SRC");
       },
       0,
       "B.SRC のコピーに失敗しました。"},
      {"full drive", [](FakePlatform& f) { f.DriveOf('C').full = true; }, 0,
       "B.SRC のコピーに失敗しました。"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    fake_.messageBoxes.clear();
    fake_.DriveOf('C').full = false;
    fake_.Lock(std::string(kDir) + "B.DAT", false);
    fake_.DeleteFileA(Target("B.DAT").c_str());
    fake_.DeleteFileA(Target("C.DAT").c_str());
    Load({"B.SRC,B.DAT", "C.DAT"});
    fake_.AddFile("D:\\DISK1\\B.SRC", "new", kFileAttributeReadOnly);
    fake_.AddFile("D:\\DISK1\\C.DAT", "c", kFileAttributeReadOnly | kFileAttributeHidden);
    fake_.AddFolder(kDir);
    c.arrange(fake_);
    ResolveInstallEntry(1);
    EXPECT_EQ(CopyInstallEntry(), c.result);
    if (c.message.empty()) {
      EXPECT_TRUE(fake_.messageBoxes.empty());
    } else {
      ASSERT_EQ(fake_.messageBoxes.size(), 1u);
      EXPECT_EQ(fake_.messageBoxes[0].text, c.message);
      EXPECT_EQ(fake_.messageBoxes[0].owner, kPage);
      EXPECT_FALSE(fake_.messageBoxes[0].hasCaption);
      EXPECT_EQ(fake_.messageBoxes[0].flags, kMbIconError | kMbOk);
    }
    // The next entry is copied all the same, without its attributes.
    fake_.DriveOf('C').full = false;
    ResolveInstallEntry(2);
    EXPECT_EQ(CopyInstallEntry(), 1);
    EXPECT_EQ(fake_.Attributes(Target("C.DAT")), 0u);
  }
}

TEST_F(InstallSequenceTest, ACopiedFileLosesItsAttributes) {
  Load({"NOTES.EXE"});
  fake_.AddFile("D:\\DISK1\\NOTES.EXE", "exe",
                kFileAttributeReadOnly | kFileAttributeHidden | kFileAttributeSystem |
                    kFileAttributeArchive);
  fake_.AddFolder(kDir);
  fake_.AddFile(Target("NOTES.EXE"), "older");  // overwritten without a question
  ResolveInstallEntry(1);
  EXPECT_EQ(CopyInstallEntry(), 1);
  EXPECT_EQ(fake_.Content(Target("NOTES.EXE")), "exe");
  EXPECT_EQ(fake_.Attributes(Target("NOTES.EXE")), 0u);
  EXPECT_EQ(fake_.Attributes("D:\\DISK1\\NOTES.EXE") & kFileAttributeReadOnly,
            kFileAttributeReadOnly);
}

TEST_F(InstallSequenceTest, ATargetTooLongForAPathIsReportedNotCut) {
  Load({"NOTES.EXE," + std::string(120, 'n') + ".EXE"});
  fake_.AddFile("D:\\DISK1\\NOTES.EXE", "exe");
  strcpy(state().installDir, ("C:\\" + std::string(150, 'd') + "\\").c_str());
  ResolveInstallEntry(1);
  EXPECT_EQ(CopyInstallEntry(), 0);
  EXPECT_EQ(MessageTexts(), (std::vector<std::string>{"NOTES.EXE のコピーに失敗しました。"}));
  EXPECT_EQ(fake_.Calls("CopyFileA"), 0);
}

TEST_F(InstallSequenceTest, FailuresNeverStopTheSequence) {
  Load({"MISSING.EXE", "C.DAT"});
  fake_.AddFile("D:\\DISK1\\C.DAT", "c");
  RunToEnd();
  EXPECT_EQ(MessageTexts(), (std::vector<std::string>{"MISSING.EXE のコピーに失敗しました。"}));
  EXPECT_TRUE(fake_.Exists(Target("C.DAT")));
  EXPECT_EQ(page_.log.back(), "post finish");
  EXPECT_TRUE(fake_.KeyExists(std::string("HKEY_LOCAL_MACHINE\\") + kUninstallKeyPrefix + "Notes"));
}

TEST_F(InstallSequenceTest, TheLastStepMakesTheShortcutsAskedFor) {
  const std::string programs = "C:\\WINDOWS\\START MENU\\PROGRAMS\\NOTES.LNK";
  const std::string desktop = "C:\\WINDOWS\\DESKTOP\\NOTES.LNK";
  const std::string startup = "C:\\WINDOWS\\START MENU\\PROGRAMS\\STARTUP\\NOTES.LNK";
  struct Case {
    int resident, startMenu, desktop;
    std::vector<std::string> links;
  } cases[] = {
      {0, 0, 0, {}},
      {0, 1, 0, {programs}},
      {0, 0, 1, {desktop}},
      {0, 1, 1, {desktop, programs}},
      {1, 0, 0, {startup}},
      {1, 1, 1, {startup}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.resident << c.startMenu << c.desktop);
    fake_.savedLinks.clear();
    Load({"NOTES.EXE"});
    state().residentProgram = c.resident;
    state().wantStartMenu = c.startMenu;
    state().wantDesktop = c.desktop;
    state().installStep = 4;  // the last step for one entry
    Step();
    std::vector<std::string> links;
    for (const auto& link : fake_.savedLinks) links.push_back(link.first);
    EXPECT_EQ(links, c.links);
    for (const auto& link : fake_.savedLinks) {
      EXPECT_EQ(link.second.path, Target("NOTES.EXE"));
    }
    EXPECT_EQ(fake_.Value(std::string("HKEY_LOCAL_MACHINE\\") + kUninstallKeyPrefix + "Notes",
                          "DisplayName"),
              std::string("Notes", 6));
  }
}

TEST_F(InstallSequenceTest, FinishStartsTheProgramQuotedAndOpensTheOpenKey) {
  Load({"NOTES.EXE", "README.TXT"}, {"Open=README.TXT"});
  fake_.AddFolder(kDir);
  StartInstalledProgram(kPage);
  ASSERT_EQ(fake_.winExecs.size(), 1u);
  EXPECT_EQ(fake_.winExecs[0].commandLine, "\"C:\\Program Files\\Notes\\NOTES.EXE\"");
  EXPECT_EQ(fake_.winExecs[0].show, kSwShowNormal);
  EXPECT_EQ(fake_.winExecs[0].currentDirectory, "C:\\Program Files\\Notes");
  ASSERT_EQ(fake_.shellExecutes.size(), 1u);
  EXPECT_EQ(fake_.shellExecutes[0].verb, "open");
  EXPECT_EQ(fake_.shellExecutes[0].file, "README.TXT");
  EXPECT_EQ(fake_.shellExecutes[0].owner, kPage);
  EXPECT_EQ(fake_.shellExecutes[0].currentDirectory, "C:\\Program Files\\Notes");
  EXPECT_EQ(fake_.shellExecutes[0].show, kSwShowNormal);
  EXPECT_TRUE(fake_.messageBoxes.empty());
}

TEST_F(InstallSequenceTest, FinishWithoutOpenKeyOrEntries) {
  Load({"BIN\\NOTES.EXE"});
  fake_.AddFolder(kDir);
  fake_.winExecResult = 2;  // a failure shows nothing
  StartInstalledProgram(kPage);
  EXPECT_EQ((std::vector<std::string>{fake_.winExecs.at(0).commandLine}),
            (std::vector<std::string>{"\"C:\\Program Files\\Notes\\BIN\\NOTES.EXE\""}));
  EXPECT_TRUE(fake_.shellExecutes.empty());

  fake_.winExecs.clear();
  Load({});
  StartInstalledProgram(kPage);
  EXPECT_TRUE(fake_.winExecs.empty());  // no program, and no folder started
  EXPECT_TRUE(fake_.shellExecutes.empty());
  EXPECT_TRUE(fake_.messageBoxes.empty());
}

}  // namespace
}  // namespace setup
