// The test rig itself: the Windows side runs with the Japanese code page, and
// the UI driver reads and answers message boxes and walks a wizard as the
// other end-to-end tests rely on. Drives uidriver_demo.exe (built beside
// e2e_tests.exe).
#include <string>
#include <vector>

#include "tests/e2e/e2e_fixture.h"

namespace e2e {
namespace {

class RigTest : public ::testing::Test {
 protected:
  void Start(const char* mode) {
    std::string error;
    ASSERT_TRUE(demo_.Start(ExeDir() + "uidriver_demo.exe", mode, "", &error))
        << error;
  }
  void TearDown() override { demo_.Terminate(); }

  DWORD ExitCode() {
    DWORD code = 0;
    EXPECT_TRUE(demo_.WaitForExit(kExitTimeoutMs, &code));
    return code;
  }

  uidriver::Process demo_;
};

TEST_F(RigTest, AnsiCodePageIsShiftJis) {
  EXPECT_EQ(GetACP(), 932u);
}

TEST_F(RigTest, ReadsErrorBoxWithDefaultCaption) {
  Start("msgbox");
  uidriver::MessageBoxInfo box;
  ASSERT_TRUE(uidriver::WaitForMessageBox(demo_.id(), kWindowTimeoutMs, &box));
  ExpectErrorBox(box, kDamagedSetupFileText, nullptr);
  std::string error;
  EXPECT_FALSE(uidriver::AnswerMessageBox(box.hwnd, IDCANCEL, &error));
  EXPECT_TRUE(uidriver::AnswerMessageBox(box.hwnd, IDOK, &error)) << error;
  EXPECT_EQ(ExitCode(), static_cast<DWORD>(IDOK));
}

TEST_F(RigTest, ReadsQuestionBoxAndAnswersNo) {
  Start("question");
  uidriver::MessageBoxInfo box;
  ASSERT_TRUE(uidriver::WaitForMessageBox(demo_.id(), kWindowTimeoutMs, &box));
  EXPECT_EQ(box.caption, "デモ");
  EXPECT_STREQ(uidriver::IconName(box.icon), "question");
  EXPECT_EQ(box.buttons, (std::vector<int>{IDYES, IDNO}));
  std::string error;
  EXPECT_TRUE(uidriver::AnswerMessageBox(box.hwnd, IDNO, &error)) << error;
  EXPECT_EQ(ExitCode(), static_cast<DWORD>(IDNO));
}

// Page 1 asks before it lets Next through; page 2 keeps Next disabled until
// its check box is set; page 3 offers Finish. The demo's exit code counts
// any Next that reached page 2 while disabled (100 each).
TEST_F(RigTest, WalksWizardAndRefusesDisabledButtons) {
  Start("wizard");
  HWND wizard = uidriver::WaitForWizard(demo_.id(), kWindowTimeoutMs);
  ASSERT_TRUE(wizard);
  HWND first = uidriver::WaitForCurrentPage(wizard, kWindowTimeoutMs);
  ASSERT_TRUE(first);
  std::string error;
  ASSERT_TRUE(uidriver::SetWindowTextTo(
      uidriver::FindControl(wizard, 1001), "ok"));
  // The page sets its buttons with a posted message: wait until Back is off.
  ASSERT_TRUE(uidriver::PollUntil(kWindowTimeoutMs, [&] {
    return !IsWindowEnabled(GetDlgItem(wizard, uidriver::kWizardBack));
  }));
  EXPECT_FALSE(uidriver::PressWizardButton(wizard, uidriver::kWizardBack,
                                           &error));
  EXPECT_NE(error.find("disabled"), std::string::npos) << error;

  // Next, declined in the question box: the page stays.
  ASSERT_TRUE(uidriver::PressWizardButton(wizard, uidriver::kWizardNext,
                                          &error)) << error;
  uidriver::MessageBoxInfo box;
  ASSERT_TRUE(uidriver::WaitForMessageBox(demo_.id(), kWindowTimeoutMs, &box));
  EXPECT_EQ(box.owner, wizard);
  ASSERT_TRUE(uidriver::AnswerMessageBox(box.hwnd, IDNO, &error)) << error;
  EXPECT_EQ(uidriver::WaitForCurrentPage(wizard, kWindowTimeoutMs), first);

  // Next, accepted: page 2 with Next disabled.
  ASSERT_TRUE(uidriver::PressWizardButton(wizard, uidriver::kWizardNext,
                                          &error)) << error;
  ASSERT_TRUE(uidriver::WaitForMessageBox(demo_.id(), kWindowTimeoutMs, &box));
  ASSERT_TRUE(uidriver::AnswerMessageBox(box.hwnd, IDYES, &error)) << error;
  HWND second = uidriver::WaitForCurrentPage(wizard, kWindowTimeoutMs, first);
  ASSERT_TRUE(second);
  EXPECT_FALSE(uidriver::PressWizardButton(wizard, uidriver::kWizardNext,
                                           &error));

  // The check box enables Next.
  ASSERT_TRUE(uidriver::PressId(wizard, 1002, &error)) << error;
  ASSERT_TRUE(uidriver::PollUntil(kWindowTimeoutMs, [&] {
    return IsWindowEnabled(GetDlgItem(wizard, uidriver::kWizardNext)) != 0;
  }));
  ASSERT_TRUE(uidriver::PressWizardButton(wizard, uidriver::kWizardNext,
                                          &error)) << error;
  ASSERT_TRUE(uidriver::WaitForCurrentPage(wizard, kWindowTimeoutMs, second));
  EXPECT_TRUE(uidriver::PollUntil(kWindowTimeoutMs, [&] {
    return uidriver::FindControl(wizard, uidriver::kWizardFinish) != nullptr;
  }));
  EXPECT_FALSE(uidriver::FindControl(wizard, uidriver::kWizardNext));
  ASSERT_TRUE(uidriver::PressWizardButton(wizard, uidriver::kWizardFinish,
                                          &error)) << error;
  EXPECT_EQ(ExitCode(), 11u);
}

TEST_F(RigTest, SavesScreenshot) {
  char temp[MAX_PATH] = "";
  GetTempPathA(MAX_PATH, temp);
  std::string path = std::string(temp) + "e2e-rig-screenshot.bmp";
  ASSERT_TRUE(uidriver::SaveScreenshot(path));
  std::vector<std::string> listing = ListTree(temp);
  bool found = false;
  for (const std::string& line : listing) {
    if (line.rfind("e2e-rig-screenshot.bmp ", 0) == 0) {
      found = line != "e2e-rig-screenshot.bmp 0";
    }
  }
  EXPECT_TRUE(found);
  DeleteFileA(path.c_str());
}

}  // namespace
}  // namespace e2e
