// The sample product that run.sh installs and the install tests may use: its
// setup description reads as Shift JIS, names files that are all there, and
// NOTES.EXE shows README.TXT in its window.
#include <string>

#include "tests/e2e/e2e_fixture.h"

namespace e2e {
namespace {

std::string ReadProfile(const std::string& inf, const char* section,
                        const char* key) {
  char value[260] = "";
  GetPrivateProfileStringA(section, key, "", value, sizeof(value),
                           inf.c_str());
  return value;
}

TEST(SampleTest, SetupDescriptionNamesFilesThatExist) {
  std::string dir = SampleDir();
  std::string inf = dir + "SETUP.INF";
  ASSERT_TRUE(FileExists(inf)) << inf;
  EXPECT_EQ(ReadProfile(inf, "Install", "Title"), "サンプル メモ表示");
  EXPECT_EQ(ReadProfile(inf, "Install", "Folder"), "SampleNotes");
  EXPECT_TRUE(FileExists(dir + ReadProfile(inf, "Install", "Open")));
  int entries = 0;
  for (int n = 1;; ++n) {
    std::string value = ReadProfile(inf, "Install", std::to_string(n).c_str());
    if (value.empty()) break;
    ++entries;
    std::string source = value.substr(0, value.find(','));
    EXPECT_TRUE(FileExists(dir + source)) << source;
  }
  EXPECT_EQ(entries, 4);
  EXPECT_TRUE(FileExists(dir + "SETUP.EXE"));
}

TEST(SampleTest, NotesShowsReadme) {
  uidriver::Process notes;
  std::string error;
  ASSERT_TRUE(notes.Start(SampleDir() + "NOTES.EXE", "", SampleDir(), &error))
      << error;
  HWND window = uidriver::WaitForWindow(
      notes.id(), "SampleNotesWindow", "サンプル メモ表示 - README.TXT",
      kWindowTimeoutMs);
  ASSERT_TRUE(window);
  HWND edit = uidriver::FindControl(window, 100);
  ASSERT_TRUE(edit);
  EXPECT_EQ(uidriver::WindowText(edit).rfind("サンプル メモ表示 について\r\n", 0),
            0u);
  PostMessageA(window, WM_CLOSE, 0, 0);
  DWORD exit_code = 1;
  EXPECT_TRUE(notes.WaitForExit(kExitTimeoutMs, &exit_code));
  EXPECT_EQ(exit_code, 0u);
  notes.Terminate();
  // NOTES.EXE remembered the file it showed.
  EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, "Software\\Sample\\Notes"));
  DeleteKeyTree(HKEY_CURRENT_USER, "Software\\Sample");
}

}  // namespace
}  // namespace e2e
