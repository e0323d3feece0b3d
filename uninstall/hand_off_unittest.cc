#include "uninstall/hand_off.h"

#include <string>
#include <vector>

#include "tests/unit/setup_test.h"
#include "uninstall/test_texts.h"

namespace setup {
namespace {

class HandOffTest : public SetupTest {
 protected:
  // The installed setup program at `modulePath`, as the entry point leaves
  // the state for "/r".
  void Installed(const std::string& modulePath, int resident = 0) {
    fake_.AddFile(modulePath, "MZ installed");
    strcpy(state().modulePath, modulePath.c_str());
    strcpy(state().setupExeName, "SETUP.EXE");
    strcpy(state().productTitle, "Soft");
    state().residentProgram = resident;
  }
};

TEST_F(HandOffTest, ConfirmationTexts) {
  for (int resident : {0, 1}) {
    SCOPED_TRACE(resident);
    fake_.messageBoxes.clear();
    Installed("C:\\Soft\\SETUP.EXE", resident);
    fake_.answers = {kIdCancel};
    HandOffUninstall();
    ASSERT_EQ(fake_.messageBoxes.size(), 1u);
    const auto& box = fake_.messageBoxes[0];
    EXPECT_EQ(box.text, std::string("Soft") + test_texts::kConfirm +
                            (resident ? test_texts::kResident : ""));
    EXPECT_EQ(box.owner, nullptr);
    EXPECT_TRUE(box.hasCaption);
    EXPECT_EQ(box.caption, "Soft");
    EXPECT_EQ(box.flags, kMbOkCancel | kMbIconInformation);
  }
}

TEST_F(HandOffTest, CopiesAndStartsTheCopyWithItsPathQuoted) {
  const std::string longPath =
      "C:\\" + std::string(120, 'L') + "\\" + std::string(125, 'M') + "\\SETUP.EXE";
  ASSERT_EQ(longPath.size(), 259u);
  struct Case {
    std::string systemDirectory;
    std::string modulePath;
  } cases[] = {
      {"C:\\WINDOWS\\SYSTEM", "C:\\Program Files\\Soft\\SETUP.EXE"},
      {"C:\\My Windows\\System32", "C:\\Soft\\SETUP.EXE"},
      {"C:\\WINDOWS\\SYSTEM", longPath},
  };
  for (const Case& test : cases) {
    SCOPED_TRACE(test.modulePath);
    fake_.winExecs.clear();
    fake_.systemDirectory = test.systemDirectory;
    fake_.AddFolder(test.systemDirectory);
    const std::string copy = test.systemDirectory + "\\SETUP.EXE";
    fake_.AddFile(copy, "MZ left by an earlier uninstall");
    Installed(test.modulePath);

    HandOffUninstall();
    EXPECT_EQ(fake_.Content(copy), "MZ installed");
    ASSERT_EQ(fake_.winExecs.size(), 1u);
    EXPECT_EQ(fake_.winExecs[0].commandLine, "\"" + copy + "\" x " + test.modulePath);
    EXPECT_EQ(fake_.winExecs[0].show, kSwShowNormal);
    EXPECT_EQ(fake_.winExecs[0].currentDirectory, test.systemDirectory);
    EXPECT_EQ(fake_.messageBoxes.size(), 1u) << "the confirmation only";
    fake_.messageBoxes.clear();
  }
}

TEST_F(HandOffTest, AnythingButOkCopiesAndStartsNothing) {
  for (int answer : {kIdCancel, 0}) {
    Installed("C:\\Soft\\SETUP.EXE");
    fake_.answers = {answer};
    HandOffUninstall();
  }
  EXPECT_FALSE(fake_.Exists("C:\\WINDOWS\\SYSTEM\\SETUP.EXE"));
  EXPECT_TRUE(fake_.winExecs.empty());
  EXPECT_EQ(fake_.Calls("SetCurrentDirectoryA"), 0);
}

TEST_F(HandOffTest, FailedStartIsReported) {
  for (unsigned result : {0u, 2u, 31u, 32u}) {
    SCOPED_TRACE(result);
    fake_.messageBoxes.clear();
    fake_.winExecResult = result;
    Installed("C:\\Soft\\SETUP.EXE");
    HandOffUninstall();
    if (result >= 32) {
      EXPECT_EQ(fake_.messageBoxes.size(), 1u);
      continue;
    }
    ASSERT_EQ(fake_.messageBoxes.size(), 2u);
    const auto& box = fake_.messageBoxes[1];
    EXPECT_EQ(box.text, test_texts::kStartFailed);
    EXPECT_EQ(box.owner, nullptr);
    EXPECT_FALSE(box.hasCaption);
    EXPECT_EQ(box.flags, kMbIconError | kMbOk);
  }
}

}  // namespace
}  // namespace setup
