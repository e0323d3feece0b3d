#include "wizard/destination_check.h"

#include <string>

#include "tests/unit/setup_test.h"

namespace setup {
namespace {

const char kRootText[] = "ルートディレクトリにはインストールできません。";
const char kFormText[] =
    "「C:\\Soft」のように、ドライブ名も含めた正しいパス名を指定してください。";
const char kTooLongText[] = "パス名が長すぎます。もっと短いパス名を指定してください。";

WindowHandle const kPage = reinterpret_cast<WindowHandle>(0x100);

class DestinationCheckTest : public SetupTest {
 protected:
  DestinationCheckTest() { strcpy(state().productTitle, "Notes"); }

  // Puts `field` into installDir as the page reads it and runs the checks.
  DestinationOutcome Next(const std::string& field) {
    strcpy(state().installDir, field.c_str());
    return CheckDestination(kPage);
  }

  // The one message box shown so far, checked to be an error owned by the
  // page; its text.
  std::string OnlyError() {
    if (fake_.messageBoxes.size() != 1) return "<" + std::to_string(fake_.messageBoxes.size()) + " boxes>";
    const auto& box = fake_.messageBoxes[0];
    EXPECT_EQ(box.owner, kPage);
    EXPECT_FALSE(box.hasCaption);
    EXPECT_EQ(box.flags, kMbIconError | kMbOk);
    return box.text;
  }
};

TEST_F(DestinationCheckTest, RootAndFormTests) {
  struct Case {
    const char* field;
    const char* message;      // nullptr: accepted
    const char* installDir;   // afterwards
  } cases[] = {
      {"", kRootText, "\\"},
      {"\\", kRootText, "\\"},
      {"D", kRootText, "D\\"},
      {"C:", kRootText, "C:\\"},
      {"C:\\", kRootText, "C:\\"},
      {"Soft", kFormText, "Soft\\"},
      {"\\Soft", kFormText, "\\Soft\\"},
      {"\\\\server\\share\\dir", kFormText, "\\\\server\\share\\dir\\"},
      {"C:/Soft", kFormText, "C:/Soft\\"},
      {"C:\\Soft", nullptr, "C:\\Soft\\"},
      {"C:\\Soft\\", nullptr, "C:\\Soft\\"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.field);
    fake_.messageBoxes.clear();
    const DestinationOutcome outcome = Next(c.field);
    EXPECT_STREQ(state().installDir, c.installDir);
    if (c.message == nullptr) {
      EXPECT_EQ(outcome, kDestinationNext);
      EXPECT_TRUE(fake_.messageBoxes.empty());
    } else {
      EXPECT_EQ(outcome, kDestinationStay);
      EXPECT_EQ(OnlyError(), c.message);
    }
  }
  EXPECT_EQ(fake_.Calls("CreateDirectoryA"), 2);  // C:\Soft, tried twice
}

TEST_F(DestinationCheckTest, TrialCreationLeavesTheUpperLevels) {
  EXPECT_EQ(Next("C:\\A\\B"), kDestinationNext);
  EXPECT_TRUE(fake_.IsFolder("C:\\A"));
  EXPECT_FALSE(fake_.Exists("C:\\A\\B"));
  EXPECT_EQ(state().messageOwner, kPage);
  EXPECT_TRUE(fake_.messageBoxes.empty());
}

TEST_F(DestinationCheckTest, AnExistingFolderIsSparedTheTrial) {
  fake_.AddFolder("C:\\Apps\\Notes");
  EXPECT_EQ(Next("C:\\Apps\\Notes"), kDestinationNext);
  EXPECT_TRUE(fake_.IsFolder("C:\\Apps\\Notes"));  // empty, and still there
  EXPECT_EQ(fake_.Calls("CreateDirectoryA"), 0);
  EXPECT_EQ(fake_.Calls("RemoveDirectoryA"), 0);
}

TEST_F(DestinationCheckTest, RefusalsOfTheTrial) {
  // A file bearing the destination's name.
  fake_.AddFile("C:\\Apps\\Notes", "data");
  EXPECT_EQ(Next("C:\\Apps\\Notes\\"), kDestinationStay);
  EXPECT_EQ(OnlyError(),
            "C:\\Apps\\Notes - 同じ名前のファイルが既に存在するのでフォルダが作成できません。");
  EXPECT_EQ(fake_.Content("C:\\Apps\\Notes"), "data");

  // A read-only drive: the first missing level fails, the deeper one is not
  // tried.
  fake_.messageBoxes.clear();
  fake_.AddDrive('R').readOnly = true;
  EXPECT_EQ(Next("R:\\A\\B"), kDestinationStay);
  EXPECT_EQ(OnlyError(), "R:\\A のフォルダ作成に失敗しました。");

  // A search pattern never stands for an existing folder.
  fake_.messageBoxes.clear();
  fake_.FailNext("CreateDirectoryA", 123);  // ERROR_INVALID_NAME
  EXPECT_EQ(Next("C:\\*"), kDestinationStay);
  EXPECT_EQ(OnlyError(), "C:\\* のフォルダ作成に失敗しました。");
}

TEST_F(DestinationCheckTest, ATextWithoutRoomForItsBackslashIsRefused) {
  // 259 bytes fill installDir; 258 leave room for the backslash.
  const std::string base = "C:\\" + std::string(240, 'a') + "\\";  // 244 bytes
  const std::string fits = base + std::string(14, 'b');            // 258
  const std::string full = base + std::string(15, 'b');            // 259
  const std::string endsInBackslash = base + std::string(14, 'b') + "\\";
  const std::string endsInSo = base + std::string(13, 'b') + "\x83\x5C";  // ソ

  EXPECT_EQ(Next(full), kDestinationStay);
  EXPECT_EQ(OnlyError(), kTooLongText);
  EXPECT_EQ(std::string(state().installDir), full);
  EXPECT_EQ(fake_.Calls("CreateDirectoryA"), 0);

  fake_.messageBoxes.clear();
  EXPECT_EQ(Next(endsInSo), kDestinationStay);
  EXPECT_EQ(OnlyError(), kTooLongText);

  fake_.messageBoxes.clear();
  EXPECT_EQ(Next(fits), kDestinationNext);
  EXPECT_EQ(std::string(state().installDir), fits + "\\");
  EXPECT_EQ(Next(endsInBackslash), kDestinationNext);
  EXPECT_EQ(std::string(state().installDir), endsInBackslash);
  EXPECT_TRUE(fake_.messageBoxes.empty());
}

TEST_F(DestinationCheckTest, FreeSpaceFigures) {
  struct Case {
    uint32_t sectorsPerCluster, bytesPerSector, freeClusters;
    uint64_t tenths;
    const char* figure;  // nullptr: no question
  } cases[] = {
      {8, 512, 12800, 5242880, "50"},        // 50 MiB
      {8, 512, 25600, 10485760, nullptr},    // 100 MiB
      {8, 512, 25599, 10481664, "100"},      // just below
      {8, 512, 19, 4096, "0"},               // clusters divided first
      {8, 512, 0, 0, "0"},
      // 2^20 clusters of 4 KiB: the product 2^32 must not wrap to 0.
      {8, 512, 10485760, 4294967296ull, nullptr},
      {128, 4096, 0xFFFFFFFFu, 429496729ull * 524288, nullptr},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.freeClusters);
    FakePlatform::Drive& drive = fake_.AddDrive('E');
    drive.sectorsPerCluster = c.sectorsPerCluster;
    drive.bytesPerSector = c.bytesPerSector;
    drive.freeClusters = c.freeClusters;
    fake_.messageBoxes.clear();
    strcpy(state().installDir, "E:\\Soft\\");
    EXPECT_EQ(QueryFreeSpaceTenth(), c.tenths);
    EXPECT_EQ(Next("E:\\Soft"), kDestinationNext);  // the fake answers Yes
    if (c.figure == nullptr) {
      EXPECT_TRUE(fake_.messageBoxes.empty());
      continue;
    }
    ASSERT_EQ(fake_.messageBoxes.size(), 1u);
    const auto& box = fake_.messageBoxes[0];
    EXPECT_EQ(box.text, std::string("指定されたドライブの残り容量が ") + c.figure +
                            "メガバイトしかありません。かまわずにインストールしますか？");
    EXPECT_EQ(box.owner, kPage);
    EXPECT_EQ(box.caption, "Notes");
    EXPECT_EQ(box.flags, 0x24u);
  }
}

TEST_F(DestinationCheckTest, FreeSpaceThatCannotBeHadCountsAsNone) {
  strcpy(state().installDir, "C:\\Soft\\");
  fake_.FailNext("GetDiskFreeSpaceA", kErrorPathNotFound);
  EXPECT_EQ(QueryFreeSpaceTenth(), 0u);
  fake_.FailNext("GetFullPathNameA", kErrorPathNotFound);
  EXPECT_EQ(QueryFreeSpaceTenth(), 0u);
  EXPECT_GT(QueryFreeSpaceTenth(), 0u);
}

TEST_F(DestinationCheckTest, LowSpaceAnswerAndResidentJump) {
  fake_.AddDrive('E').freeClusters = 100;
  struct Case {
    int resident;
    int answer;
    DestinationOutcome outcome;
  } cases[] = {
      {0, kIdNo, kDestinationStay},
      {0, kIdYes, kDestinationNext},
      {1, kIdNo, kDestinationStay},
      {1, kIdYes, kDestinationJump},
  };
  for (const Case& c : cases) {
    state().residentProgram = c.resident;
    fake_.answers.push_back(c.answer);
    EXPECT_EQ(Next("E:\\Soft"), c.outcome) << c.resident << " " << c.answer;
  }
  state().residentProgram = 1;
  EXPECT_EQ(Next("C:\\Soft"), kDestinationJump);  // plenty of space: no question
  EXPECT_EQ(fake_.messageBoxes.size(), 4u);
}

TEST_F(DestinationCheckTest, PickerOpensAtTheWindowsDriveAndRestoresTheSourceFolder) {
  fake_.AddDrive('D');
  fake_.AddFolder("D:\\WIN");
  fake_.AddFolder("D:\\DISK1");
  fake_.windowsDirectory = "D:\\WIN";
  strcpy(state().sourceDir, "D:\\DISK1\\");
  fake_.currentDirectory = "D:\\DISK1";
  EnterPickerFolder();
  EXPECT_EQ(fake_.currentDirectory, "D:\\");
  LeavePickerFolder();
  EXPECT_EQ(fake_.currentDirectory, "D:\\DISK1");

  char buffer[kPathSize] = "C:\\PROGRA~1\\dummy";
  EXPECT_EQ(CutToChosenFolder(buffer, 12), 1);
  EXPECT_STREQ(buffer, "C:\\PROGRA~1\\");
  strcpy(buffer, "D:\\dummy");
  EXPECT_EQ(CutToChosenFolder(buffer, 3), 1);
  EXPECT_STREQ(buffer, "D:\\");
  strcpy(buffer, "dummy");
  EXPECT_EQ(CutToChosenFolder(buffer, 40), 0);
  EXPECT_STREQ(buffer, "dummy");
}

}  // namespace
}  // namespace setup
