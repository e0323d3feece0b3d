#include "uninstall/folder_tree.h"

#include <string>
#include <vector>

#include "tests/unit/setup_test.h"
#include "uninstall/test_texts.h"

namespace setup {
namespace {

const std::string kDir = "C:\\SOFT\\";
WindowHandle const kOwner = reinterpret_cast<WindowHandle>(0x77);

class FolderTreeTest : public SetupTest {
 protected:
  FolderTreeTest() {
    state().messageOwner = kOwner;
    strcpy(state().productTitle, "Soft");
  }
};

std::string Asked(const std::string& relative) {
  return kDir + relative + test_texts::kQuestion;
}

std::string FolderFailed(const std::string& relative) {
  return kDir + relative + test_texts::kFolderFailed;
}

TEST_F(FolderTreeTest, WalkCases) {
  // The fake lists a folder's entries sorted by name.
  struct Case {
    const char* name;
    std::vector<std::string> files;  // below kDir
    std::vector<int> answers;
    std::vector<std::string> messages;
    std::vector<std::string> left;  // below kDir, as ListTree shows them
    int result;
  } cases[] = {
      {"help indexes go without a question; other names are asked about",
       {"DATA.OLD.GID", "HELP.GID", "README", "SUB\\help.Gid", ".gid"},
       {},
       {Asked("DATA.OLD.GID"), Asked("README")},
       {},
       1},
      {"No in a subfolder stops every level above it at once",
       {"A.TXT", "SUB\\B.TXT", "SUB\\C.TXT", "Z.TXT"},
       {kIdYes, kIdNo, kIdYes},
       {Asked("A.TXT"), Asked("SUB\\B.TXT"), Asked("SUB\\C.TXT"), FolderFailed("SUB")},
       {"SUB\\", "SUB\\B.TXT", "Z.TXT"},
       0},
      {"No at the top: the folder stays and says so",
       {"A.TXT", "B.TXT"},
       {kIdNo},
       {Asked("A.TXT"), Asked("B.TXT"), "C:\\SOFT" + std::string(test_texts::kFolderFailed)},
       {"A.TXT"},
       0},
      {"Cancel at the first question ends everything silently",
       {"A.TXT", "B.TXT", "SUB\\C.TXT"},
       {kIdCancel},
       {Asked("A.TXT")},
       {"A.TXT", "B.TXT", "SUB\\", "SUB\\C.TXT"},
       0},
      {"Cancel deep down ends the levels above without messages",
       {"A\\B\\C.TXT", "A\\D.TXT", "E.TXT"},
       {kIdCancel},
       {Asked("A\\B\\C.TXT")},
       {"A\\", "A\\B\\", "A\\B\\C.TXT", "A\\D.TXT", "E.TXT"},
       0},
      {"an empty folder goes without a question", {}, {}, {}, {}, 1},
  };
  for (const Case& test : cases) {
    SCOPED_TRACE(test.name);
    fake_.messageBoxes.clear();
    fake_.AddFolder(kDir);
    for (const std::string& file : test.files) fake_.AddFile(kDir + file, "x");
    fake_.answers.assign(test.answers.begin(), test.answers.end());

    EXPECT_EQ(RemoveFolderTree(kDir.c_str()), test.result);
    EXPECT_EQ(MessageTexts(), test.messages);
    std::vector<std::string> left;
    for (const std::string& path : test.left) left.push_back(kDir + path);
    EXPECT_EQ(fake_.ListTree(kDir), left);
    EXPECT_EQ(fake_.Exists(kDir), test.result == 0);
    for (const auto& box : fake_.messageBoxes) {
      EXPECT_EQ(box.owner, kOwner);
      const bool question = box.text.find(test_texts::kQuestion) != std::string::npos;
      EXPECT_EQ(box.hasCaption, question);
      if (question) {
        EXPECT_EQ(box.caption, "Soft");
        EXPECT_EQ(box.flags, kMbYesNoCancel | kMbIconQuestion);
      } else {
        EXPECT_EQ(box.flags, kMbIconError | kMbOk);
      }
    }
    // Clean up for the next case: everything is answered Yes now.
    RemoveFolderTree(kDir.c_str());
  }
}

TEST_F(FolderTreeTest, SubfolderMetEarlyIsGoneBeforeLaterEntriesAreAsked) {
  fake_.AddFile(kDir + "A\\X.TXT", "x");
  fake_.AddFile(kDir + "B.TXT", "x");
  bool subfolderGoneFirst = false;
  fake_.onMessageBox = [&](const FakePlatform::MessageBoxCall& box) {
    if (box.text == Asked("B.TXT")) subfolderGoneFirst = !fake_.Exists(kDir + "A");
    return kIdYes;
  };
  EXPECT_EQ(RemoveFolderTree(kDir.c_str()), 1);
  EXPECT_EQ(MessageTexts(), (std::vector<std::string>{Asked("A\\X.TXT"), Asked("B.TXT")}));
  EXPECT_TRUE(subfolderGoneFirst);
}

TEST_F(FolderTreeTest, MissingFolderCountsAsRemoved) {
  EXPECT_EQ(RemoveFolderTree("C:\\NOT THERE\\"), 1);
  EXPECT_TRUE(fake_.messageBoxes.empty());
}

TEST_F(FolderTreeTest, RootsAreNeverWalked) {
  fake_.AddFile("C:\\AUTOEXEC.BAT", "x");
  fake_.AddFile("C:\\SOFT\\A.TXT", "x");
  for (const char* root : {"C:\\", "C:", "\\", "", "C:\\.\\", "C:\\SOFT\\..\\",
                           "C:\\SOFT\\.\\", "\\\\SERVER\\SHARE\\", "\\\\SERVER\\",
                           "C:\\ \\", "C:\\...\\"}) {
    SCOPED_TRACE(root);
    EXPECT_EQ(RemoveFolderTree(root), 0);
  }
  EXPECT_EQ(fake_.Calls("FindFirstFileA"), 0);
  EXPECT_EQ(fake_.Calls("DeleteFileA") + fake_.Calls("RemoveDirectoryA"), 0);
  EXPECT_TRUE(fake_.messageBoxes.empty());
  EXPECT_TRUE(fake_.Exists("C:\\AUTOEXEC.BAT"));
  EXPECT_TRUE(fake_.Exists("C:\\WINDOWS\\SYSTEM"));
}

TEST_F(FolderTreeTest, EntryTooLongForAPathCountsAsAFailedDeletion) {
  // A folder of 250 bytes: a name of 9 bytes still fits (259), one of 10
  // does not; a subfolder of 9 does not fit with its backslash.
  const std::string folder = "C:\\" + std::string(246, 'F') + "\\";
  ASSERT_EQ(folder.size(), 250u);
  const std::string fits = "ABCDE.TXT";
  const std::string tooLong = "ABCDEF.TXT";
  const std::string subfolder = "SUBFOLDER";
  fake_.AddFile(folder + fits, "x");
  fake_.AddFile(folder + tooLong, "x");
  fake_.AddFolder(folder + subfolder);

  EXPECT_EQ(RemoveFolderTree(folder.c_str()), 0);
  EXPECT_EQ(MessageTexts(),
            (std::vector<std::string>{folder + fits + test_texts::kQuestion,
                                      folder + tooLong + test_texts::kRemoveFailed,
                                      folder + subfolder + test_texts::kRemoveFailed,
                                      folder.substr(0, 249) + test_texts::kFolderFailed}));
  EXPECT_FALSE(fake_.Exists(folder + fits));
  EXPECT_TRUE(fake_.Exists(folder + tooLong));
  EXPECT_TRUE(fake_.Exists(folder + subfolder));
}

TEST_F(FolderTreeTest, DoubleByteNamesKeepTheirBytes) {
  // ソフト holds the byte 0x5C as the second byte of ソ.
  const std::string folder = "C:\\\x83\x5C\x83\x74\x83\x67\\";
  fake_.AddFile(folder + "\x83\x5C.GID", "x");      // ソ.GID: no question
  fake_.AddFile(folder + "\x83\x5C\x83\x74", "x");  // ソフ: asked about
  EXPECT_EQ(RemoveFolderTree(folder.c_str()), 1);
  EXPECT_EQ(MessageTexts(),
            std::vector<std::string>{folder + "\x83\x5C\x83\x74" + test_texts::kQuestion});
  EXPECT_FALSE(fake_.Exists(folder));
}

}  // namespace
}  // namespace setup
