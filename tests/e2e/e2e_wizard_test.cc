// The install wizard as the user meets it, up to the copy page: the frame,
// the destination page's checks and folder picker, the options page, the
// jump of a resident program, Back never usable and Cancel on every page.
#include <string>
#include <vector>

#include "tests/e2e/e2e_fixture.h"
#include "tests/e2e/e2e_wizard_helpers.h"

namespace e2e {
namespace {

// ウィザード試験: a title with double-byte characters.
const char kTitle[] = "ウィザード試験";
const char kFolder[] = "E2eWizard";

class WizardTest : public WizardFlowTest {
 protected:
  // Starts SETUP.EXE on a product with the INF lines `more` after Title and
  // Folder, and waits for the destination page.
  void StartProduct(const std::vector<std::string>& more = {}) {
    CleanupProduct(kFolder);
    std::vector<std::string> inf = {"[Install]", std::string("Title=") + kTitle,
                                    std::string("Folder=") + kFolder};
    inf.insert(inf.end(), more.begin(), more.end());
    dist_ = MakeDistribution("disk1", inf);
    StartSetup(dist_);
    wizard_ = WaitForWizard();
    ASSERT_TRUE(wizard_);
    page_ = WaitForPage(wizard_, kDestinationPage);
    ASSERT_TRUE(page_) << uidriver::Describe(wizard_);
  }

  void SetField(const std::string& text) {
    ASSERT_TRUE(uidriver::SetWindowTextTo(GetDlgItem(page_, kFolderField), text));
  }

  // Next, expecting the error box `text` and the page kept after OK.
  void ExpectRefusal(const std::string& field, const std::string& text) {
    SCOPED_TRACE(uidriver::ToUtf8(field));
    SetField(field);
    ASSERT_TRUE(PressWhenUsable(wizard_, uidriver::kWizardNext));
    uidriver::MessageBoxInfo box = WaitForMessageBox();
    ExpectErrorBox(box, text, wizard_);
    Answer(box, IDOK);
    EXPECT_EQ(WaitForPage(wizard_, kDestinationPage), page_);
    EXPECT_FALSE(ButtonUsable(wizard_, uidriver::kWizardBack));
    EXPECT_TRUE(ButtonUsable(wizard_, uidriver::kWizardNext));
  }

  // Cancel, then exit code 1 with no further window.
  void CancelAndExpectExit() {
    ASSERT_TRUE(PressWhenUsable(wizard_, uidriver::kWizardCancel));
    EXPECT_EQ(WaitForWizardToEnd(wizard_), 1u);
  }

  std::string UninstallKey() const { return std::string(kUninstallKey) + kFolder; }

  std::string dist_;
  HWND wizard_ = nullptr;
  HWND page_ = nullptr;
};

TEST_F(WizardTest, DestinationPageAsShown) {
  StartProduct();
  EXPECT_TRUE(CaptionBecomes(wizard_, CaptionOf(kTitle)));
  EXPECT_EQ(ControlText(page_, kPromptText),
            std::string(kTitle) + "のインストール先を指定してください");
  EXPECT_EQ(ControlText(page_, kFolderField), DefaultInstallDir(kFolder));
  // The page sets its buttons with a posted message.
  EXPECT_TRUE(uidriver::PollUntil(5000, [&] {
    return ButtonUsable(wizard_, uidriver::kWizardNext) &&
           !ButtonUsable(wizard_, uidriver::kWizardBack);
  }));
  EXPECT_TRUE(ButtonUsable(wizard_, uidriver::kWizardCancel));

  // The frame is centred on the screen.
  RECT frame;
  ASSERT_TRUE(GetWindowRect(wizard_, &frame));
  const int screen_width = GetSystemMetrics(SM_CXSCREEN);
  const int screen_height = GetSystemMetrics(SM_CYSCREEN);
  EXPECT_NEAR(frame.left, (screen_width - (frame.right - frame.left)) / 2, 1);
  EXPECT_NEAR(frame.top, (screen_height - (frame.bottom - frame.top)) / 2, 1);

  CancelAndExpectExit();
  EXPECT_FALSE(FolderExists(DefaultInstallDir(kFolder)));
  EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, UninstallKey()));
}

TEST_F(WizardTest, RefusedFoldersKeepThePage) {
  StartProduct();
  const std::string file = work() + "plain file";
  ASSERT_TRUE(WriteFileBytes(file, "x"));
  struct Case {
    std::string field;
    std::string text;
  } cases[] = {
      {"", RootDirectoryText()},
      {"D", RootDirectoryText()},
      {"C:", RootDirectoryText()},
      {"C:\\", RootDirectoryText()},
      {"Soft", NeedDrivePathText()},
      {"\\\\server\\share\\dir", NeedDrivePathText()},
      {"C:/Soft", NeedDrivePathText()},
      {file, file + " - 同じ名前のファイルが既に存在するのでフォルダが作成できません。"},
      {"C:\\" + std::string(256, 'a'),
       "パス名が長すぎます。もっと短いパス名を指定してください。"},
  };
  for (const Case& c : cases) {
    ExpectRefusal(c.field, c.text);
    if (HasFatalFailure()) return;
  }
  EXPECT_TRUE(CaptionBecomes(wizard_, CaptionOf(kTitle)));
  EXPECT_EQ(ReadFileBytes(file), "x");
  CancelAndExpectExit();
}

TEST_F(WizardTest, AcceptedFolderLeadsToTheOptionsPage) {
  StartProduct();
  const std::string upper = work() + "dest";
  SetField(upper + "\\sub");
  ASSERT_TRUE(PressWhenUsable(wizard_, uidriver::kWizardNext));
  HWND options = WaitForPage(wizard_, kOptionsPage);
  ASSERT_TRUE(options) << uidriver::Describe(wizard_);
  // The trial creation made both levels and removed the innermost again.
  EXPECT_TRUE(FolderExists(upper));
  EXPECT_FALSE(FolderExists(upper + "\\sub"));

  EXPECT_TRUE(CaptionBecomes(wizard_, CaptionOf(kTitle)));
  EXPECT_TRUE(IsChecked(options, kStartMenuBox));
  EXPECT_FALSE(IsChecked(options, kDesktopBox));
  EXPECT_TRUE(IsWindowEnabled(GetDlgItem(options, kDesktopBox)));  // the new shell
  EXPECT_TRUE(uidriver::PollUntil(5000, [&] { return ButtonUsable(wizard_, uidriver::kWizardNext); }));
  EXPECT_FALSE(ButtonUsable(wizard_, uidriver::kWizardBack));

  // Cancel here: nothing copied, nothing registered.
  CancelAndExpectExit();
  EXPECT_EQ(ListTree(upper), std::vector<std::string>{});
  EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, UninstallKey()));
}

TEST_F(WizardTest, AnExistingFolderIsKept) {
  StartProduct();
  const std::string existing = work() + "existing\\";
  ASSERT_TRUE(MakeFolders(existing));
  SetField(existing);
  ASSERT_TRUE(PressWhenUsable(wizard_, uidriver::kWizardNext));
  ASSERT_TRUE(WaitForPage(wizard_, kOptionsPage));
  EXPECT_TRUE(FolderExists(existing));  // empty, and not removed by the trial
  CancelAndExpectExit();
  EXPECT_TRUE(FolderExists(existing));
}

// Through the copy page with a source that is missing, so that the sequence
// waits in a message box while the page is checked.
TEST_F(WizardTest, TheCopyPageComesLastWithEveryButtonOff) {
  StartProduct({"1=MISSING.DAT"});
  const std::string dest = work() + "dest\\";
  SetField(dest);
  ASSERT_TRUE(PressWhenUsable(wizard_, uidriver::kWizardNext));
  HWND options = WaitForPage(wizard_, kOptionsPage);
  ASSERT_TRUE(options);
  ASSERT_TRUE(PressWhenUsable(wizard_, uidriver::kWizardNext));
  HWND copy = WaitForPage(wizard_, kCopyPage);
  ASSERT_TRUE(copy);
  uidriver::MessageBoxInfo box = WaitForMessageBox();
  ExpectErrorBox(box, "MISSING.DAT のコピーに失敗しました。", wizard_);
  EXPECT_TRUE(CaptionBecomes(wizard_, CaptionOf(kTitle)));
  for (int id : {uidriver::kWizardBack, uidriver::kWizardNext, uidriver::kWizardFinish}) {
    EXPECT_FALSE(ButtonUsable(wizard_, id)) << id;
  }
  EXPECT_TRUE(IsWindowEnabled(GetDlgItem(wizard_, IDCANCEL)));
  Answer(box, IDOK);
  EXPECT_TRUE(uidriver::PollUntil(kWindowTimeoutMs,
                                  [&] { return ButtonUsable(wizard_, uidriver::kWizardFinish); }));
  EXPECT_FALSE(ButtonUsable(wizard_, uidriver::kWizardBack));
  EXPECT_TRUE(FileExists(dest + "SETUP.EXE"));
  EXPECT_TRUE(FileExists(dest + "SETUP.INF"));
  CleanupFolder(ShellFolder(CSIDL_PROGRAMS) + kTitle + ".lnk");
  CancelAndExpectExit();  // Cancel on the last page too
}

TEST_F(WizardTest, AResidentProgramGoesStraightToTheCopyPage) {
  StartProduct({"TSR=1", "1=MISSING.DAT"});
  const std::string dest = work() + "tsr\\";
  SetField(dest);
  ASSERT_TRUE(PressWhenUsable(wizard_, uidriver::kWizardNext));
  HWND copy = WaitForPage(wizard_, kCopyPage);
  ASSERT_TRUE(copy) << uidriver::Describe(wizard_);
  uidriver::MessageBoxInfo box = WaitForMessageBox();
  EXPECT_TRUE(CaptionBecomes(wizard_, CaptionOf(kTitle)));
  for (int id : {uidriver::kWizardBack, uidriver::kWizardNext, uidriver::kWizardFinish}) {
    EXPECT_FALSE(ButtonUsable(wizard_, id)) << id;
  }
  Answer(box, IDOK);
  ASSERT_TRUE(uidriver::PollUntil(kWindowTimeoutMs,
                                  [&] { return ButtonUsable(wizard_, uidriver::kWizardFinish); }));
  // The options page was never created; only the Startup shortcut is made.
  for (const uidriver::Control& control : uidriver::Controls(wizard_)) {
    EXPECT_NE(control.id, kStartMenuBox);
  }
  const std::string startup = ShellFolder(CSIDL_STARTUP) + kTitle + ".lnk";
  const std::string programs = ShellFolder(CSIDL_PROGRAMS) + kTitle + ".lnk";
  CleanupFolder(startup);
  CleanupFolder(programs);
  EXPECT_TRUE(FileExists(startup));
  EXPECT_FALSE(FileExists(programs));
  CancelAndExpectExit();
}

TEST_F(WizardTest, LowSpaceQuestionOnASmallDrive) {
  const std::string drive = SmallDrive();
  if (drive.empty()) GTEST_SKIP() << "no small drive (E2E_SMALL_DRIVE) in this run";
  StartProduct();
  const std::string dest = drive + "\\Soft";
  CleanupFolder(dest);
  const unsigned figure = LowSpaceFigure(drive + "\\");
  ASSERT_LT(figure, 100u) << "the drive is not small";
  SetField(dest);

  // No keeps the page.
  ASSERT_TRUE(PressWhenUsable(wizard_, uidriver::kWizardNext));
  uidriver::MessageBoxInfo box = WaitForMessageBox();
  EXPECT_EQ(box.text, LowSpaceText(figure)) << uidriver::ToUtf8(box.text);
  EXPECT_EQ(box.caption, kTitle);
  EXPECT_STREQ(uidriver::IconName(box.icon), "question");
  EXPECT_EQ(box.buttons, (std::vector<int>{IDYES, IDNO}));
  EXPECT_EQ(box.owner, wizard_);
  Answer(box, IDNO);
  EXPECT_EQ(WaitForPage(wizard_, kDestinationPage), page_);
  EXPECT_FALSE(FolderExists(dest));  // the trial removed it again

  // Yes goes on.
  ASSERT_TRUE(PressWhenUsable(wizard_, uidriver::kWizardNext));
  box = WaitForMessageBox();
  EXPECT_EQ(box.text, LowSpaceText(figure));
  Answer(box, IDYES);
  EXPECT_TRUE(WaitForPage(wizard_, kOptionsPage));
  CancelAndExpectExit();
}

// The folder picker: opens at the root of the Windows drive, puts the chosen
// folder into the field, leaves the field alone on Cancel, and gives the
// current directory back to the distribution folder, from which the install
// then copies its relative sources.
TEST_F(WizardTest, FolderPicker) {
  StartProduct({"1=DATA.TXT"});
  AddFile(dist_, "DATA.TXT", "data");
  char windows[MAX_PATH] = "";
  GetWindowsDirectoryA(windows, MAX_PATH);
  char windows_short[MAX_PATH] = "";
  GetShortPathNameA(windows, windows_short, MAX_PATH);

  auto open_picker = [&]() -> HWND {
    std::string error;
    EXPECT_TRUE(uidriver::PressId(page_, kBrowseButton, &error)) << error;
    // Wine gives the old-style dialog its own "Save As" caption instead of
    // the template's, so the picker is told by its folder list.
    HWND found = nullptr;
    uidriver::PollUntil(kWindowTimeoutMs, [&] {
      for (HWND window : uidriver::TopWindows(setup().id())) {
        if (window != wizard_ && GetDlgItem(window, 1121)) found = window;
      }
      return found != nullptr;
    });
    return found;
  };
  HWND picker = open_picker();
  ASSERT_TRUE(picker);
  EXPECT_EQ(lstrcmpiA(ControlText(picker, 1088).c_str(), std::string(windows, 3).c_str()), 0)
      << uidriver::Describe(picker);
  EXPECT_FALSE(IsWindowVisible(GetDlgItem(picker, 1152)));  // no file name field

  // Open the Windows folder in the folder list, as a double click does.
  HWND list = GetDlgItem(picker, 1121);
  const std::string folder_name = std::string(windows_short).substr(3);
  LRESULT index = SendMessageA(list, LB_FINDSTRING, static_cast<WPARAM>(-1),
                               reinterpret_cast<LPARAM>(folder_name.c_str()));
  ASSERT_NE(index, LB_ERR) << uidriver::Describe(picker);
  SendMessageA(list, LB_SETCURSEL, index, 0);
  PostMessageA(picker, WM_COMMAND, MAKEWPARAM(1121, LBN_DBLCLK), reinterpret_cast<LPARAM>(list));
  std::string shown_folder;
  EXPECT_TRUE(uidriver::PollUntil(5000, [&] {
    shown_folder = ControlText(picker, 1088);
    return lstrcmpiA(shown_folder.c_str(), windows_short) == 0;
  })) << uidriver::ToUtf8(shown_folder);
  std::string error;
  ASSERT_TRUE(uidriver::PressId(picker, IDOK, &error)) << error;
  std::string field;
  EXPECT_TRUE(uidriver::PollUntil(5000, [&] {
    field = ControlText(page_, kFolderField);
    return !IsWindow(picker) && lstrcmpiA(field.c_str(), (std::string(windows_short) + "\\").c_str()) == 0;
  })) << uidriver::ToUtf8(field);

  // Cancel leaves the field as it is.
  const std::string dest = work() + "picked\\";
  SetField(dest);
  picker = open_picker();
  ASSERT_TRUE(picker);
  ASSERT_TRUE(uidriver::PressId(picker, IDCANCEL, &error)) << error;
  EXPECT_TRUE(uidriver::PollUntil(5000, [&] { return !IsWindow(picker); }));
  EXPECT_EQ(ControlText(page_, kFolderField), dest);

  // The relative sources are still found.
  ASSERT_TRUE(PressWhenUsable(wizard_, uidriver::kWizardNext));
  HWND options = WaitForPage(wizard_, kOptionsPage);
  ASSERT_TRUE(options);
  ASSERT_TRUE(uidriver::PressId(options, kStartMenuBox, &error)) << error;  // no shortcut
  ASSERT_TRUE(PressWhenUsable(wizard_, uidriver::kWizardNext));
  ASSERT_TRUE(uidriver::PollUntil(kWindowTimeoutMs,
                                  [&] { return ButtonUsable(wizard_, uidriver::kWizardFinish); }));
  EXPECT_EQ(ReadFileBytes(dest + "DATA.TXT"), "data");
  EXPECT_TRUE(FileExists(dest + "SETUP.EXE"));
  EXPECT_TRUE(FileExists(dest + "SETUP.INF"));
  CancelAndExpectExit();
}

}  // namespace
}  // namespace e2e
