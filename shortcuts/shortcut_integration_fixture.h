// Fixture of the shortcut integration tests under Wine: a product installed
// into the test's scratch folder, the real platform with a record of the DDE
// transactions and message boxes, readers for shell links, and the clean-up
// of everything the tests may leave in the user's shell folders (files,
// groups and the folder windows Program Manager opens).
#ifndef SETUP_SHORTCUTS_SHORTCUT_INTEGRATION_FIXTURE_H_
#define SETUP_SHORTCUTS_SHORTCUT_INTEGRATION_FIXTURE_H_

#include <windows.h>

#include <string>
#include <vector>

#include "tests/common/shell_link_reader.h"
#include "tests/integration/integration_test.h"

namespace setup {

// The real platform, recording what the logic sends to Program Manager and
// every message box it asks for (all calls still go through).
class RecordingPlatform : public Win32Platform {
 public:
  struct Transaction {
    std::string data;  // the bytes sent, as many as the length counted
    uintptr_t result;
  };
  std::vector<Transaction> transactions;
  int messageBoxes = 0;

  uintptr_t DdeClientTransaction(const void* data, uint32_t length, void* conversation,
                                 void* item, unsigned format, unsigned type,
                                 uint32_t timeout) override;
  int MessageBoxA(WindowHandle owner, const char* text, const char* caption,
                  uint32_t flags) override;
};

using link_reader::LinkContents;

class ShortcutIntegrationTest : public IntegrationTest {
 protected:
  ShortcutIntegrationTest();
  ~ShortcutIntegrationTest() override;

  // Title of the sample product: "試験ノート" in Shift JIS.
  static const char kTitle[];
  // The Startup group's name, "スタートアップ".
  static const char kStartupGroup[];

  // Writes SETUP.INF ([Install] entry 1 NOTES.EXE and the given [Group]
  // items) into scratch(), loads it, and installs NOTES.EXE, NOTES.HLP and
  // SETUP.EXE into installDir = scratch() + "Sample Program\".
  void LoadProduct(const std::vector<std::string>& groupItems);

  // A Shell Folders value of the current user ("Programs", "Desktop",
  // "Startup"), without a closing backslash.
  static std::string ShellFolder(const char* name);
  // GetShortPathNameA of a path that exists.
  static std::string ShortPath(const std::string& path);
  static bool Exists(const std::string& path);
  static LinkContents ReadLink(const std::string& path) {
    return link_reader::ReadLink(path);
  }

  // Waits (polling, up to `appearSeconds`) for the folder windows titled
  // `title` that Program Manager's commands open, closes every one and waits
  // until they are gone. Returns how many were closed.
  static int CloseFolderWindows(const char* title, int appearSeconds);

  std::string installDir_;
  RecordingPlatform recorder_;
};

}  // namespace setup

#endif  // SETUP_SHORTCUTS_SHORTCUT_INTEGRATION_FIXTURE_H_
