#include "uninstall/delete_at_restart.h"

#include <string>
#include <vector>

#include "tests/unit/setup_test.h"

namespace setup {
namespace {

const char kIni[] = "C:\\WINDOWS\\WININIT.INI";
const char kCopy[] = "C:\\WINDOWS\\SYSTEM\\Setup Program.EXE";
const std::string kOwnLine = "NUL=C:\\WINDOWS\\SYSTEM\\SETUPP~1.EXE\r\n";

class DeleteAtRestartTest : public SetupTest {
 protected:
  DeleteAtRestartTest() {
    fake_.AddFile(kCopy, "MZ");
    fake_.SetShortName(kCopy, "C:\\WINDOWS\\SYSTEM\\SETUPP~1.EXE");
  }
  // Runs with MoveFileExA refused, as on a system without it.
  void RunWithoutMoveFileEx() {
    fake_.FailNext("MoveFileExA", 120);  // ERROR_CALL_NOT_IMPLEMENTED
    DeleteAtRestart(kCopy);
  }
};

// A [Rename] section whose block (header, entries) is exactly `bytes` long.
std::string SectionOfBlockSize(size_t bytes) {
  std::string text = "[Rename]\r\n";
  while (text.size() < bytes) {
    const size_t line = std::min<size_t>(100, bytes - text.size());
    text += "NUL=C:\\" + std::string(line - 9, 'X') + "\r\n";
  }
  return text;
}

TEST_F(DeleteAtRestartTest, MoveFileExFirstLeavesWininitAlone) {
  fake_.AddFile(kIni, "[Rename]\r\nNUL=C:\\A.DLL\r\n");
  DeleteAtRestart(kCopy);
  EXPECT_EQ(fake_.pendingDeletes, std::vector<std::string>{kCopy});
  EXPECT_EQ(fake_.Calls("GetPrivateProfileSectionA"), 0);
  EXPECT_EQ(fake_.Calls("OpenFileReadWrite"), 0);
  EXPECT_EQ(fake_.Content(kIni), "[Rename]\r\nNUL=C:\\A.DLL\r\n");
}

TEST_F(DeleteAtRestartTest, WininitCases) {
  const std::string limit = SectionOfBlockSize(kRenameBlockLimit);
  const std::string over = SectionOfBlockSize(kRenameBlockLimit + 1);
  const std::string hugeEntry = "[Rename]\r\nNUL=" + std::string(32757, 'Y') + "\r\n";
  struct Case {
    const char* name;
    bool exists;
    std::string before;
    std::string after;
  } cases[] = {
      {"no file: nothing is created", false, "", ""},
      {"an empty file takes the block at its start", true, "", "[Rename]\r\n" + kOwnLine},
      {"no section: header and the new line at the end", true, "[boot]\r\nshell=a\r\n",
       "[boot]\r\nshell=a\r\n[Rename]\r\n" + kOwnLine},
      {"two NUL lines stay, each with its path, the new one last", true,
       "[Rename]\r\nNUL=C:\\A.DLL\r\nNUL=C:\\B.DLL\r\nC:\\NEW.DLL=C:\\NEW.TMP\r\n",
       "[Rename]\r\nNUL=C:\\A.DLL\r\nNUL=C:\\B.DLL\r\nC:\\NEW.DLL=C:\\NEW.TMP\r\n" + kOwnLine},
      {"other sections stay where they are; a closing 0x1A is replaced", true,
       "[boot]\r\na=1\r\n[Rename]\r\nNUL=C:\\A.DLL\r\n[386Enh]\r\nb=2\r\n\x1A",
       "[boot]\r\na=1\r\n[386Enh]\r\nb=2\r\n[Rename]\r\nNUL=C:\\A.DLL\r\n" + kOwnLine},
      {"a section at the end with a 0x1A after it", true,
       "[Rename]\r\nNUL=C:\\A.DLL\r\n\x1A", "[Rename]\r\nNUL=C:\\A.DLL\r\n" + kOwnLine},
      {"a last line without a line end is ended first", true, "[boot]\r\na=1",
       "[boot]\r\na=1\r\n[Rename]\r\n" + kOwnLine},
      {"the same before a closing 0x1A", true, "[boot]\r\na=1\x1A",
       "[boot]\r\na=1\r\n[Rename]\r\n" + kOwnLine},
      {"exactly 30000 bytes are accepted", true, "[x]\r\n" + limit,
       "[x]\r\n" + limit + kOwnLine},
      {"30001 bytes: the file stays byte for byte", true, "[x]\r\n" + over + "[y]\r\n",
       "[x]\r\n" + over + "[y]\r\n"},
      {"an entry too long for the block: nothing is written", true, hugeEntry, hugeEntry},
  };
  for (const Case& test : cases) {
    SCOPED_TRACE(test.name);
    if (test.exists) fake_.AddFile(kIni, test.before);
    RunWithoutMoveFileEx();
    EXPECT_EQ(fake_.Exists(kIni), test.exists);
    const std::string after = fake_.Content(kIni);
    EXPECT_EQ(after.size(), test.after.size());
    EXPECT_TRUE(after == test.after) << after.substr(0, 300);
    EXPECT_EQ(after.find('\0'), std::string::npos);
    EXPECT_TRUE(fake_.pendingDeletes.empty());
    fake_.DeleteFileA(kIni);
  }
}

TEST_F(DeleteAtRestartTest, FailedDirectWriteLosesNoEntry) {
  const std::string before =
      "[Rename]\r\nNUL=C:\\A.DLL\r\nNUL=C:\\B.DLL\r\nC:\\X.DLL=C:\\X.NEW\r\n[boot]\r\na=1\r\n";
  // The section comes back whole, duplicates and order kept, without the
  // new line; the other sections are untouched.
  const std::string restored =
      "[boot]\r\na=1\r\n[Rename]\r\nNUL=C:\\A.DLL\r\nNUL=C:\\B.DLL\r\nC:\\X.DLL=C:\\X.NEW\r\n";
  for (const char* failing : {"OpenFileReadWrite", "WriteFile"}) {
    SCOPED_TRACE(failing);
    fake_.AddFile(kIni, before);
    fake_.FailNext(failing, kErrorSharingViolation);
    RunWithoutMoveFileEx();
    EXPECT_EQ(fake_.Content(kIni), restored);
  }
}

TEST_F(DeleteAtRestartTest, GivesUpWithoutWritingWhenSomethingIsMissing) {
  const std::string before = "[Rename]\r\nNUL=C:\\A.DLL\r\n";
  for (const char* failing :
       {"GetShortPathNameA", "GlobalAlloc", "WritePrivateProfileStringA"}) {
    SCOPED_TRACE(failing);
    fake_.AddFile(kIni, before);
    fake_.FailNext(failing, 8);  // ERROR_NOT_ENOUGH_MEMORY
    RunWithoutMoveFileEx();
    EXPECT_EQ(fake_.Content(kIni), before);
  }
  EXPECT_EQ(fake_.Calls("OpenFileReadWrite"), 0);
}

TEST_F(DeleteAtRestartTest, EmptySectionIsNotRestoredWhenTheOpenFails) {
  fake_.AddFile(kIni, "[Rename]\r\n[boot]\r\na=1\r\n");
  fake_.FailNext("OpenFileReadWrite", kErrorAccessDenied);
  RunWithoutMoveFileEx();
  EXPECT_EQ(fake_.Content(kIni), "[boot]\r\na=1\r\n");
  EXPECT_EQ(fake_.Calls("WritePrivateProfileSectionA"), 0);
}

}  // namespace
}  // namespace setup
