#include "wizard/folder_creation.h"

#include <string>

#include "tests/unit/setup_test.h"

namespace setup {
namespace {

class FolderCreationTest : public SetupTest {
 protected:
  FolderCreationTest() { state().messageOwner = reinterpret_cast<WindowHandle>(0x1234); }

  // Runs `create` on a copy of `path` and checks that the text is unchanged.
  int Run(int (*create)(char*), const std::string& path) {
    char buffer[kPathSize];
    strcpy(buffer, path.c_str());
    const int result = create(buffer);
    EXPECT_EQ(std::string(buffer), path) << "the caller's path changed";
    return result;
  }
};

TEST_F(FolderCreationTest, CreatesEveryMissingLevel) {
  EXPECT_EQ(Run(CreateFolderPath, "C:\\A\\B\\"), 1);
  EXPECT_TRUE(fake_.IsFolder("C:\\A"));
  EXPECT_TRUE(fake_.IsFolder("C:\\A\\B"));
  EXPECT_TRUE(fake_.messageBoxes.empty());
  // Existing folders and a drive root are accepted silently; a root is not
  // even searched.
  const int searches = fake_.Calls("FindFirstFileA");
  EXPECT_EQ(Run(CreateFolderLevel, "C:\\"), 1);
  EXPECT_EQ(fake_.Calls("FindFirstFileA"), searches);
  EXPECT_EQ(Run(CreateFolderPath, "C:\\"), 1);
  EXPECT_EQ(Run(CreateFolderPath, "C:\\A\\B\\"), 1);
  EXPECT_EQ(Run(CreateFolderLevel, "C:\\A\\"), 1);
  EXPECT_TRUE(fake_.messageBoxes.empty());
}

TEST_F(FolderCreationTest, FileInTheWayIsReported) {
  fake_.AddFile("C:\\A", "data");
  EXPECT_EQ(Run(CreateFolderPath, "C:\\A\\B\\"), 0);
  ASSERT_EQ(fake_.messageBoxes.size(), 1u);
  const auto& box = fake_.messageBoxes[0];
  EXPECT_EQ(box.text,
            "C:\\A - \x93\xAF\x82\xB6\x96\xBC\x91\x4F\x82\xCC\x83\x74\x83\x40\x83\x43\x83\x8B"
            "\x82\xAA\x8A\xF9\x82\xC9\x91\xB6\x8D\xDD\x82\xB7\x82\xE9\x82\xCC\x82\xC5\x83\x74"
            "\x83\x48\x83\x8B\x83\x5F\x82\xAA\x8D\xEC\x90\xAC\x82\xC5\x82\xAB\x82\xDC\x82\xB9"
            "\x82\xF1\x81\x42");
  EXPECT_EQ(box.owner, state().messageOwner);
  EXPECT_FALSE(box.hasCaption);
  EXPECT_EQ(box.flags, kMbIconError | kMbOk);
  EXPECT_FALSE(fake_.Exists("C:\\A\\B"));
}

TEST_F(FolderCreationTest, ReadOnlyDriveStopsAtTheFirstLevel) {
  fake_.AddDrive('R').readOnly = true;
  EXPECT_EQ(Run(CreateFolderPath, "R:\\A\\B\\"), 0);
  ASSERT_EQ(fake_.messageBoxes.size(), 1u);
  EXPECT_EQ(fake_.messageBoxes[0].text,
            "R:\\A \x82\xCC\x83\x74\x83\x48\x83\x8B\x83\x5F\x8D\xEC\x90\xAC\x82\xC9\x8E\xB8"
            "\x94\x73\x82\xB5\x82\xDC\x82\xB5\x82\xBD\x81\x42");
  EXPECT_EQ(fake_.Calls("CreateDirectoryA"), 1);  // B is not tried
}

TEST_F(FolderCreationTest, SplitsOnlyAtRealBackslashes) {
  // C:\ソ\ソフト\ : the trail byte 0x5C of ソ is not a separator.
  const std::string path = "C:\\\x83\x5C\\\x83\x5C\x83\x74\x83\x67\\";
  EXPECT_EQ(Run(CreateFolderPath, path), 1);
  EXPECT_TRUE(fake_.IsFolder("C:\\\x83\x5C"));
  EXPECT_TRUE(fake_.IsFolder("C:\\\x83\x5C\\\x83\x5C\x83\x74\x83\x67"));
  EXPECT_EQ(fake_.Calls("CreateDirectoryA"), 2);
}

TEST_F(FolderCreationTest, PathWithoutDriveIsOneLevel) {
  fake_.currentDirectory = "C:\\WINDOWS";
  EXPECT_EQ(Run(CreateFolderPath, "Soft\\Sub\\"), 0);  // C:\WINDOWS\Soft is missing
  EXPECT_EQ(fake_.messageBoxes.size(), 1u);
  EXPECT_EQ(Run(CreateFolderPath, "Soft\\"), 1);
  EXPECT_TRUE(fake_.IsFolder("C:\\WINDOWS\\Soft"));
}

}  // namespace
}  // namespace setup
