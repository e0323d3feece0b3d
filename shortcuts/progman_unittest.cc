#include "shortcuts/progman.h"

#include <string>
#include <vector>

#include "shortcuts/shortcuts.h"
#include "startup/setup_description.h"
#include "tests/unit/setup_test.h"

namespace setup {
namespace {

// "スタートアップ" and "の削除" in Shift JIS.
#define STARTUP_GROUP "\x83\x58\x83\x5E\x81\x5B\x83\x67\x83\x41\x83\x62\x83\x76"
#define REMOVAL_SUFFIX "\x82\xCC\x8D\xED\x8F\x9C"

// A command as it travels: its bytes and the terminating NUL.
std::string Sent(const std::string& text) { return text + std::string(1, '\0'); }

const char kShortDir[] = "C:\\PROGRA~1\\SAMPLE~1\\";

// AddItem as sent, for a command line and a caption.
std::string Item(const std::string& commandLine, const std::string& caption) {
  return Sent("[AddItem(\"" + commandLine + "\",\"" + caption + "\")]");
}

// The creation of the group "Sample Notes" followed by `items`.
std::vector<std::string> SampleGroup(const std::vector<std::string>& items) {
  std::vector<std::string> commands = {Sent("[CreateGroup(\"Sample Notes\",0)]"),
                                       Item(std::string(kShortDir) + "NOTES.EXE",
                                            "Notes program")};
  commands.insert(commands.end(), items.begin(), items.end());
  return commands;
}

class ProgmanTest : public SetupTest {
 protected:
  // Loads a product "Sample Notes" whose [Install] entry 1 is NOTES.EXE,
  // with the given [Group] items, and puts its files in place.
  void Load(const std::vector<std::string>& groupItems) {
    std::vector<std::string> lines = {"[Install]", "Title=Sample Notes",
                                      "Folder=SampleNotes", "1=NOTES.EXE"};
    if (!groupItems.empty()) lines.push_back("[Group]");
    for (size_t i = 0; i < groupItems.size(); ++i) {
      lines.push_back(std::to_string(i + 1) + "=" + groupItems[i]);
    }
    WriteInf(lines);
    ASSERT_EQ(LoadSetupDescription(), 1);
    ASSERT_STREQ(state().installDir, "C:\\Program Files\\SampleNotes\\");
    for (const char* name : {"NOTES.EXE", "SETUP.EXE", "NOTES.HLP"}) {
      fake_.AddFile(std::string(state().installDir) + name, "MZ");
    }
  }
};

const std::vector<std::string> kThreeItems = {
    "Notes program,NOTES.EXE", "Read me,NOTES.EXE,README.TXT,/fast",
    "Help,NOTES.HLP"};

TEST_F(ProgmanTest, CommandsForEveryKindDirectionAndItemCount) {
  const std::string createGroup = Sent("[CreateGroup(\"Sample Notes\",0)]");
  const std::string deleteGroup = Sent("[DeleteGroup(\"Sample Notes\",0)]");
  const std::string showStartup = Sent("[ShowGroup(\"" STARTUP_GROUP "\",1)]");
  const std::string deleteItem = Sent("[DeleteItem(\"Sample Notes\")]");
  const std::string shortDir = kShortDir;
  const std::string programItem = Item(shortDir + "NOTES.EXE", "Sample Notes");
  const std::string uninstallItem =
      Item(shortDir + "SETUP.EXE /r", "SETUP.EXE" REMOVAL_SUFFIX);
  const std::string item1 = Item(shortDir + "NOTES.EXE", "Notes program");
  const std::string item2 = Item(shortDir + "NOTES.EXE README.TXT,/fast", "Read me");
  const std::string item3 = Item(shortDir + "NOTES.HLP", "Help");
  // Startup: the command of [Group] item 1, the caption Title.
  const std::string startupItem1 = Item(shortDir + "NOTES.EXE", "Sample Notes");

  struct Case {
    int kind;
    int remove;
    size_t items;
    std::vector<std::string> commands;
  } cases[] = {
      {kShortcutPrograms, 0, 0, {createGroup, programItem, uninstallItem}},
      {kShortcutDesktop, 0, 0, {createGroup, programItem, uninstallItem}},
      {kShortcutPrograms, 0, 1, {createGroup, item1}},
      {kShortcutPrograms, 0, 3, {createGroup, item1, item2, item3}},
      {kShortcutDesktop, 0, 3, {createGroup, item1, item2, item3}},
      {kShortcutStartup, 0, 0, {showStartup, programItem}},
      // The item's command comes from [Group] item 1, its caption is Title.
      {kShortcutStartup, 0, 3, {showStartup, startupItem1}},
      {kShortcutPrograms, 1, 0, {deleteGroup}},
      {kShortcutDesktop, 1, 3, {deleteGroup}},
      {kShortcutPrograms, 7, 3, {deleteGroup}},
      {kShortcutStartup, 1, 0, {showStartup, deleteItem}},
      {kShortcutStartup, 1, 3, {showStartup, deleteItem}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE("kind " + std::to_string(c.kind) + " remove " +
                 std::to_string(c.remove) + " items " + std::to_string(c.items));
    ResetState();
    fake_.ddeCommands.clear();
    Load(std::vector<std::string>(kThreeItems.begin(), kThreeItems.begin() + c.items));
    state().newShell = 0;
    const int registryReads = fake_.Calls("RegOpenKeyExA");
    const std::vector<std::string> files = fake_.ListTree("C:\\");

    UpdateShortcuts(c.kind, c.remove);

    EXPECT_EQ(fake_.ddeCommands, c.commands);
    // The old shell touches neither the registry nor the file system.
    EXPECT_EQ(fake_.Calls("RegOpenKeyExA"), registryReads);
    EXPECT_EQ(fake_.ListTree("C:\\"), files);
    EXPECT_EQ(fake_.coInitializeCalls, 0);
    EXPECT_TRUE(fake_.messageBoxes.empty());
    EXPECT_EQ(fake_.liveStringHandles, 0);
  }
}

TEST_F(ProgmanTest, EveryCallMakesANewConversationOnTheSameInstance) {
  Load({});
  // The removal sequence of the old shell: three calls, four commands.
  UpdateProgmanGroup(kShortcutPrograms, 1);
  EXPECT_EQ(state().ddeInstance, 0x51u);
  void* first = state().progmanConversation;
  EXPECT_NE(first, nullptr);
  UpdateProgmanGroup(kShortcutDesktop, 1);
  UpdateProgmanGroup(kShortcutStartup, 1);
  EXPECT_EQ(fake_.ddeInitializeInstances, (std::vector<uint32_t>{0, 0x51, 0x51}));
  EXPECT_EQ(fake_.ddeInitializeFlags,
            (std::vector<uint32_t>{kAppCmdClientOnly, kAppCmdClientOnly, kAppCmdClientOnly}));
  EXPECT_EQ(fake_.ddeConnects, 3);
  EXPECT_NE(state().progmanConversation, first);
  EXPECT_EQ(fake_.liveStringHandles, 0);
  EXPECT_EQ(fake_.ddeCommands,
            (std::vector<std::string>{Sent("[DeleteGroup(\"Sample Notes\",0)]"),
                                      Sent("[DeleteGroup(\"Sample Notes\",0)]"),
                                      Sent("[ShowGroup(\"" STARTUP_GROUP "\",1)]"),
                                      Sent("[DeleteItem(\"Sample Notes\")]")}));
}

TEST_F(ProgmanTest, NothingIsSentWithoutAConversation) {
  Load(kThreeItems);
  // Program Manager is not running.
  fake_.progmanRunning = false;
  UpdateProgmanGroup(kShortcutPrograms, 0);
  UpdateProgmanGroup(kShortcutStartup, 1);
  EXPECT_EQ(state().progmanConversation, nullptr);
  EXPECT_EQ(ProgmanExecute("[ShowGroup(\"x\",1)]"), 0);
  // The DDEML cannot be initialised at all.
  ResetState();
  Load(kThreeItems);
  fake_.progmanRunning = true;
  fake_.ddeInitializeResult = 0x4006;  // DMLERR_DLL_USAGE
  UpdateProgmanGroup(kShortcutPrograms, 0);
  EXPECT_EQ(state().progmanConversation, nullptr);

  EXPECT_TRUE(fake_.ddeCommands.empty());
  EXPECT_EQ(fake_.Calls("DdeClientTransaction"), 0);
  EXPECT_TRUE(fake_.messageBoxes.empty());
  EXPECT_EQ(fake_.liveStringHandles, 0);
}

TEST_F(ProgmanTest, ServerEndingTheConversationStopsTheRest) {
  Load(kThreeItems);
  fake_.ddeDisconnectAfter = 2;
  UpdateProgmanGroup(kShortcutPrograms, 0);
  EXPECT_EQ(fake_.ddeCommands.size(), 2u);
  EXPECT_EQ(state().progmanConversation, nullptr);
  // The next call connects afresh and sends its commands.
  UpdateProgmanGroup(kShortcutPrograms, 1);
  EXPECT_EQ(fake_.ddeCommands.back(), Sent("[DeleteGroup(\"Sample Notes\",0)]"));
}

TEST_F(ProgmanTest, FailedCommandsDoNotStopTheSequence) {
  Load(kThreeItems);
  fake_.ddeTransactionResult = 0;  // every command refused
  ProgmanInitialize();
  EXPECT_EQ(ProgmanConnect("PROGMAN", "PROGMAN"), 1);
  EXPECT_EQ(ProgmanExecute("[ShowGroup(\"x\",1)]"), 0);
  UpdateProgmanGroup(kShortcutPrograms, 0);
  EXPECT_EQ(fake_.ddeCommands.size(), 5u);  // ShowGroup, CreateGroup, 3 items
  fake_.ddeTransactionResult = 2;           // only exactly 1 is success
  EXPECT_EQ(ProgmanExecute("[ShowGroup(\"x\",1)]"), 0);
  fake_.ddeTransactionResult = 1;
  EXPECT_EQ(ProgmanExecute("[ShowGroup(\"x\",1)]"), 1);
}

TEST_F(ProgmanTest, CallbackClearsTheConversationOnDisconnectOnly) {
  state().progmanConversation = reinterpret_cast<void*>(0x200);
  EXPECT_EQ(ProgmanCallback(kXtypExecute, 1, reinterpret_cast<void*>(0x200), nullptr,
                            nullptr, nullptr, 0, 0),
            0u);
  EXPECT_NE(state().progmanConversation, nullptr);
  // Any conversation's end clears it, also that of an abandoned one.
  EXPECT_EQ(ProgmanCallback(kXtypDisconnect, 0, reinterpret_cast<void*>(0x100), nullptr,
                            nullptr, nullptr, 0, 0),
            0u);
  EXPECT_EQ(state().progmanConversation, nullptr);
}

TEST_F(ProgmanTest, ShortenCommandPath) {
  fake_.AddFile("C:\\Program Files\\Sample Notes\\NOTES.EXE", "MZ");
  fake_.AddFile("C:\\APP\\RUN.EXE", "MZ");
  fake_.AddFile("C:\\\x83\x5C\x83\x74\x83\x67\\RUN.EXE", "MZ");  // ソフト
  struct Case {
    const char* command;
    const char* expected;
  } cases[] = {
      {"C:\\Program Files\\Sample Notes\\NOTES.EXE", "C:\\PROGRA~1\\SAMPLE~1\\NOTES.EXE"},
      {"C:\\Program Files\\Sample Notes\\NOTES.EXE,/a", "C:\\PROGRA~1\\SAMPLE~1\\NOTES.EXE /a"},
      // Only the first comma separates; the arguments keep theirs.
      {"C:\\APP\\RUN.EXE,a b,c,,d", "C:\\APP\\RUN.EXE a b,c,,d"},
      {"C:\\APP\\RUN.EXE,", "C:\\APP\\RUN.EXE "},
      {"C:\\\x83\x5C\x83\x74\x83\x67\\RUN.EXE,x", "C:\\\x83\x5C\x83\x74\x83\x67\\RUN.EXE x"},
      // No short path (the file is missing): the path stays as written.
      {"C:\\Program Files\\Gone\\GONE.EXE,/q", "C:\\Program Files\\Gone\\GONE.EXE /q"},
      // No program path: nothing to start.
      {"", ""},
      {",/r", ""},
  };
  for (const Case& c : cases) {
    char command[kPathSize];
    strcpy(command, c.command);
    ShortenCommandPath(command);
    EXPECT_STREQ(command, c.expected) << c.command;
  }
}

TEST_F(ProgmanTest, DoubleQuoteKeepsACommandUnsent) {
  // A double quote in the title would close the quoted argument early, and
  // the rest would reach Program Manager as further commands.
  Load({});
  strcpy(state().productTitle, "X\",0)][DeleteGroup(\"Accessories");
  for (int kind : {kShortcutPrograms, kShortcutDesktop}) {
    UpdateProgmanGroup(kind, 0);
    UpdateProgmanGroup(kind, 1);
  }
  // No group was made, so none of its items are sent either; nor is the
  // Startup group opened for an item that cannot be sent.
  UpdateProgmanGroup(kShortcutStartup, 0);
  UpdateProgmanGroup(kShortcutStartup, 1);
  EXPECT_TRUE(fake_.ddeCommands.empty());
  EXPECT_EQ(fake_.ddeConnects, 6);

  // A caption or command line with a double quote: that item only.
  ResetState();
  fake_.ddeCommands.clear();
  Load({"Notes program,NOTES.EXE", "Say \"hi\",NOTES.EXE", "Open,NOTES.EXE,\"A B.TXT\"",
        "Help,NOTES.HLP"});
  UpdateProgmanGroup(kShortcutPrograms, 0);
  EXPECT_EQ(fake_.ddeCommands,
            SampleGroup({Item(std::string(kShortDir) + "NOTES.HLP", "Help")}));
}

TEST_F(ProgmanTest, CommandsThatDoNotFitAreNotSentNorCut) {
  // Item 2's command line fits its 260 bytes but not inside AddItem; item 3's
  // target does not fit at all (its entryTarget comes back empty); item 4
  // names a file that was not installed and keeps its long path.
  const std::string longArguments(215, 'a');
  const std::string tooLong(240, 'b');
  Load({"Notes program,NOTES.EXE", "Long,NOTES.EXE," + longArguments,
        "Too long,NOTES.EXE," + tooLong, "Missing,MISSING.EXE"});
  UpdateProgmanGroup(kShortcutPrograms, 0);
  EXPECT_EQ(fake_.ddeCommands,
            SampleGroup({Item("C:\\Program Files\\SampleNotes\\MISSING.EXE", "Missing")}));
  for (const std::string& command : fake_.ddeCommands) {
    EXPECT_LT(command.size(), kPathSize + 1u);
  }
}

TEST_F(ProgmanTest, UninstallItemThatDoesNotFitIsNotSent) {
  // installDir + NOTES.EXE fits in 259 bytes, installDir + SETUP.EXE + ",/r"
  // does not: the program's item is sent, the uninstall item is not.
  Load({});
  std::string folder = "C:\\" + std::string(246, 'D') + "\\";
  strcpy(state().installDir, folder.c_str());
  strcpy(state().productTitle, "T");
  fake_.AddFile(folder + "NOTES.EXE", "MZ");
  fake_.AddFile(folder + "SETUP.EXE", "MZ");
  fake_.SetShortName(folder.substr(0, folder.size() - 1), "C:\\DDDDDD~1");
  UpdateProgmanGroup(kShortcutPrograms, 0);
  EXPECT_EQ(fake_.ddeCommands,
            (std::vector<std::string>{Sent("[CreateGroup(\"T\",0)]"),
                                      Item("C:\\DDDDDD~1\\NOTES.EXE", "T")}));
}

}  // namespace
}  // namespace setup
