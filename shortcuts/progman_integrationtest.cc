#include "shortcuts/progman.h"

#include <windows.h>
#include <ddeml.h>

#include <string>
#include <vector>

#include "shortcuts/shortcut_integration_fixture.h"
#include "shortcuts/shortcuts.h"
#include "startup/setup_state.h"

namespace setup {
namespace {

// A command as it travels: its bytes and the terminating NUL.
std::string Sent(const std::string& text) { return text + std::string(1, '\0'); }

std::string Item(const std::string& commandLine, const std::string& caption) {
  return Sent("[AddItem(\"" + commandLine + "\",\"" + caption + "\")]");
}

HDDEDATA CALLBACK IgnoreDde(UINT, UINT, HCONV, HSZ, HSZ, HDDEDATA, ULONG_PTR, ULONG_PTR) {
  return nullptr;
}

// Wine's explorer serves Program Manager's DDE interface as part of the
// desktop; in a session that has just started it may not answer yet. Polls,
// with its own DDEML instance, until it does (30 s at most).
bool ProgramManagerAnswers() {
  DWORD instance = 0;
  if (DdeInitializeA(&instance, IgnoreDde, APPCMD_CLIENTONLY, 0) != DMLERR_NO_ERROR) return false;
  HSZ name = DdeCreateStringHandleA(instance, "PROGMAN", CP_WINANSI);
  HCONV conversation = nullptr;
  const DWORD start = GetTickCount();
  while (conversation == nullptr && GetTickCount() - start < 30000) {
    conversation = DdeConnect(instance, name, name, nullptr);
    if (conversation == nullptr) MsgWaitForMultipleObjects(0, nullptr, FALSE, 200, QS_ALLINPUT);
  }
  if (conversation != nullptr) DdeDisconnect(conversation);
  DdeFreeStringHandle(instance, name);
  DdeUninitialize(instance);
  return conversation != nullptr;
}

class ProgmanIntegrationTest : public ShortcutIntegrationTest {
 protected:
  void SetUp() override {
    ASSERT_TRUE(ProgramManagerAnswers()) << "no Program Manager DDE server in this session";
  }

  // Starts the DDE state afresh, as the next run of the program (the
  // uninstall run after the install run) starts it.
  static void NewRun() {
    State().ddeInstance = 0;
    State().progmanConversation = nullptr;
  }

  std::vector<std::string> SentData() const {
    std::vector<std::string> data;
    for (const auto& transaction : recorder_.transactions) data.push_back(transaction.data);
    return data;
  }
  uintptr_t Result(size_t index) const { return recorder_.transactions.at(index).result; }

  std::string title_ = kTitle;
};

TEST_F(ProgmanIntegrationTest, GroupIsMadeAndDeletedAgain) {
  LoadProduct({});
  State().newShell = 0;
  const std::string shortDir = ShortPath(installDir_);
  const std::string group = ShellFolder("Programs") + "\\" + title_;

  UpdateShortcuts(kShortcutPrograms, 0);

  ASSERT_EQ(SentData(),
            (std::vector<std::string>{
                Sent("[CreateGroup(\"" + title_ + "\",0)]"), Item(shortDir + "NOTES.EXE", title_),
                Item(shortDir + "SETUP.EXE /r", "SETUP.EXEの削除")}));
  EXPECT_EQ(Result(0), 1u);
  EXPECT_EQ(Result(1), 1u);
  // Wine's server looks the whole command line up as one file name, so it
  // refuses an AddItem whose command line carries arguments (Program Manager
  // on Windows keeps them). The bytes above are what the item must say.
  RecordProperty("wine_accepts_additem_with_arguments", static_cast<int>(Result(2)));
  // The group is a folder under the Start menu's programs, holding the item.
  EXPECT_TRUE(Exists(group));
  EXPECT_TRUE(ReadLink(group + "\\" + title_ + ".lnk").loaded);
  // CreateGroup opens a folder window in Wine's explorer.
  RecordProperty("folder_windows_after_create_group", CloseFolderWindows(kTitle, 20));

  // The removal run: Programs, Desktop, Startup, whatever was made.
  NewRun();
  recorder_.transactions.clear();
  for (int kind : {kShortcutPrograms, kShortcutDesktop, kShortcutStartup}) {
    UpdateShortcuts(kind, 1);
  }
  const std::vector<std::string> removal = {
      Sent("[DeleteGroup(\"" + title_ + "\",0)]"), Sent("[DeleteGroup(\"" + title_ + "\",0)]"),
      Sent("[ShowGroup(\"スタートアップ\",1)]"), Sent("[DeleteItem(\"" + title_ + "\")]")};
  const std::vector<std::string> sent = SentData();
  ASSERT_GE(sent.size(), 1u);
  ASSERT_LE(sent.size(), removal.size());
  EXPECT_EQ(sent, std::vector<std::string>(removal.begin(), removal.begin() + sent.size()));
  EXPECT_EQ(Result(0), 1u);
  EXPECT_FALSE(Exists(group));
  // Each call makes a new conversation and leaves the earlier one open.
  // Wine's DDEML refuses a second conversation with the same service and
  // topic on one instance while the first is open (Windows' DDEML allows
  // it), so in one run only the first call reaches Wine's Program Manager.
  RecordProperty("wine_commands_after_the_first_call_of_a_run",
                 static_cast<int>(sent.size()) - 1);
  EXPECT_EQ(recorder_.messageBoxes, 0);
}

TEST_F(ProgmanIntegrationTest, GroupItemsAsSentAndAsWineTakesThem) {
  LoadProduct({"メモ帳,NOTES.EXE", "Read me,NOTES.EXE,README.TXT,/fast", "Gone,GONE.EXE"});
  State().newShell = 0;
  const std::string shortDir = ShortPath(installDir_);
  const std::string group = ShellFolder("Programs") + "\\" + title_;

  UpdateShortcuts(kShortcutPrograms, 0);
  RecordProperty("folder_windows_after_create_group", CloseFolderWindows(kTitle, 20));

  // The item of a file that was not installed keeps its long path: it has no
  // short one.
  ASSERT_EQ(SentData(), (std::vector<std::string>{
                            Sent("[CreateGroup(\"" + title_ + "\",0)]"),
                            Item(shortDir + "NOTES.EXE", "メモ帳"),
                            Item(shortDir + "NOTES.EXE README.TXT,/fast", "Read me"),
                            Item(installDir_ + "GONE.EXE", "Gone")}));
  EXPECT_EQ(Result(0), 1u);
  EXPECT_EQ(Result(1), 1u);
  EXPECT_TRUE(ReadLink(group + "\\メモ帳.lnk").loaded);
  // Wine refuses the item with arguments (see above) and the item of a
  // missing file (it looks the program up first); Windows takes both.
  RecordProperty("wine_accepts_additem_with_arguments", static_cast<int>(Result(2)));
  RecordProperty("wine_accepts_additem_for_missing_file", static_cast<int>(Result(3)));

  // Desktop stands for the same group.
  NewRun();
  recorder_.transactions.clear();
  UpdateShortcuts(kShortcutDesktop, 1);
  EXPECT_EQ(SentData(), (std::vector<std::string>{Sent("[DeleteGroup(\"" + title_ + "\",0)]")}));
  EXPECT_FALSE(Exists(group));
  EXPECT_EQ(recorder_.messageBoxes, 0);
}

TEST_F(ProgmanIntegrationTest, StartupItemGoesIntoTheStartupGroup) {
  LoadProduct({"メモ帳,NOTES.EXE"});
  State().newShell = 0;
  const std::string startupGroup = ShellFolder("Programs") + "\\" + kStartupGroup;
  const std::string item = Item(ShortPath(installDir_) + "NOTES.EXE", title_);
  const std::string showGroup = Sent("[ShowGroup(\"スタートアップ\",1)]");

  // Wine names its Startup folder "StartUp" and has no group "スタートアップ":
  // it takes ShowGroup but refuses the AddItem, for want of the group.
  const bool groupExisted = Exists(startupGroup);
  if (!groupExisted) {
    UpdateShortcuts(kShortcutStartup, 0);
    EXPECT_EQ(SentData(), (std::vector<std::string>{showGroup, item}));
    RecordProperty("wine_accepts_additem_without_startup_group", static_cast<int>(Result(1)));
    // The group of a Japanese Program Manager, as Wine keeps groups.
    ASSERT_TRUE(CreateDirectoryA(startupGroup.c_str(), nullptr));
    NewRun();
    recorder_.transactions.clear();
  }

  UpdateShortcuts(kShortcutStartup, 0);
  EXPECT_EQ(SentData(), (std::vector<std::string>{showGroup, item}));
  EXPECT_EQ(Result(0), 1u);
  EXPECT_EQ(Result(1), 1u);
  const std::string link = startupGroup + "\\" + title_ + ".lnk";
  EXPECT_TRUE(ReadLink(link).loaded);
  // ShowGroup opens the group's folder window.
  RecordProperty("folder_windows_after_show_group", CloseFolderWindows(kStartupGroup, 20));

  NewRun();
  recorder_.transactions.clear();
  UpdateShortcuts(kShortcutStartup, 1);
  EXPECT_EQ(SentData(),
            (std::vector<std::string>{showGroup, Sent("[DeleteItem(\"" + title_ + "\")]")}));
  EXPECT_EQ(Result(1), 1u);
  EXPECT_FALSE(Exists(link));
  CloseFolderWindows(kStartupGroup, 20);
  if (!groupExisted) RemoveDirectoryA(startupGroup.c_str());
  EXPECT_EQ(recorder_.messageBoxes, 0);
}

// Runs UpdateShortcuts on a desktop of its own, on which nobody serves
// Program Manager.
struct AbsentRun {
  HDESK desktop;
  bool serverEnded = false;
  int windowsBefore = 0;
  int windowsAfter = 0;
  void* conversation = reinterpret_cast<void*>(1);
};

BOOL CALLBACK CountVisible(HWND window, LPARAM count) {
  if (IsWindowVisible(window)) ++*reinterpret_cast<int*>(count);
  return TRUE;
}

// Ends the process that serves the calling thread's desktop, when it is
// Wine's explorer: Wine starts one for every new desktop, and it serves
// Program Manager there too.
bool EndDesktopExplorer() {
  DWORD process = 0;
  GetWindowThreadProcessId(GetDesktopWindow(), &process);
  if (process == 0 || process == GetCurrentProcessId()) return true;
  HANDLE handle = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION,
                              FALSE, process);
  if (handle == nullptr) return false;
  char image[MAX_PATH] = "";
  DWORD size = MAX_PATH;
  QueryFullProcessImageNameA(handle, 0, image, &size);
  const std::string name = image;
  const bool isExplorer = name.size() >= 12 &&
                          lstrcmpiA(name.c_str() + name.size() - 12, "explorer.exe") == 0;
  bool ended = false;
  if (isExplorer && TerminateProcess(handle, 0)) {
    ended = WaitForSingleObject(handle, 10000) == WAIT_OBJECT_0;
  }
  CloseHandle(handle);
  return ended;
}

DWORD WINAPI RunWithoutProgramManager(void* parameter) {
  auto* run = static_cast<AbsentRun*>(parameter);
  if (!SetThreadDesktop(run->desktop)) return 1;
  run->serverEnded = EndDesktopExplorer();
  EnumDesktopWindows(run->desktop, CountVisible, reinterpret_cast<LPARAM>(&run->windowsBefore));
  for (int remove : {0, 1}) {
    for (int kind : {kShortcutPrograms, kShortcutDesktop, kShortcutStartup}) {
      UpdateShortcuts(kind, remove);
    }
  }
  run->conversation = State().progmanConversation;
  EnumDesktopWindows(run->desktop, CountVisible, reinterpret_cast<LPARAM>(&run->windowsAfter));
  return 0;
}

using ProgmanAbsentIntegrationTest = ShortcutIntegrationTest;

TEST_F(ProgmanAbsentIntegrationTest, NothingIsSentNothingShownAndTheCallsReturn) {
  LoadProduct({"メモ帳,NOTES.EXE"});
  State().newShell = 0;
  const std::string name = "sc-no-progman-" + std::to_string(GetCurrentProcessId());
  AbsentRun run;
  run.desktop = CreateDesktopA(name.c_str(), nullptr, nullptr, 0, GENERIC_ALL, nullptr);
  ASSERT_NE(run.desktop, nullptr);
  HANDLE thread = CreateThread(nullptr, 0, RunWithoutProgramManager, &run, 0, nullptr);
  ASSERT_NE(thread, nullptr);
  const DWORD waited = WaitForSingleObject(thread, 60000);
  ASSERT_EQ(waited, WAIT_OBJECT_0) << "UpdateShortcuts did not return";
  DWORD exitCode = 1;
  GetExitCodeThread(thread, &exitCode);
  CloseHandle(thread);
  CloseDesktop(run.desktop);
  ASSERT_EQ(exitCode, 0u);
  ASSERT_TRUE(run.serverEnded);

  EXPECT_TRUE(recorder_.transactions.empty());
  EXPECT_EQ(recorder_.messageBoxes, 0);
  EXPECT_EQ(run.windowsAfter, run.windowsBefore);
  EXPECT_EQ(run.conversation, nullptr);
  EXPECT_FALSE(Exists(ShellFolder("Programs") + "\\" + kTitle));
}

}  // namespace
}  // namespace setup
