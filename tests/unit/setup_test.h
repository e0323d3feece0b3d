// Fixture of the native unit tests: a fresh in-memory platform and a zeroed
// SetupState for every test, plus helpers to write a setup description.
#ifndef SETUP_TESTS_UNIT_SETUP_TEST_H_
#define SETUP_TESTS_UNIT_SETUP_TEST_H_

#include <gtest/gtest.h>
#include <string.h>

#include <string>
#include <vector>

#include "platform/fake_platform.h"
#include "startup/setup_state.h"

namespace setup {

class SetupTest : public testing::Test {
 protected:
  SetupTest() {
    ResetState();
    SetPlatform(&fake_);
  }
  ~SetupTest() override {
    EXPECT_EQ(fake_.OpenFinds(), 0) << "a folder listing was left open";
    EXPECT_EQ(fake_.OpenKeys(), 0) << "a registry key was left open";
    EXPECT_EQ(fake_.OpenFiles(), 0) << "a file was left open";
    EXPECT_EQ(fake_.LiveAllocations(), 0) << "a memory block was not freed";
    SetPlatform(nullptr);
  }

  SetupState& state() { return State(); }

  // Puts the setup program at `exePath` (infPath etc. derived as the entry
  // point would for SETUP.EXE) and writes its SETUP.INF from `lines`
  // (joined with CR LF).
  void WriteInf(const std::vector<std::string>& lines,
                const std::string& folder = "D:\\DISK1\\") {
    if (!fake_.Exists(folder.substr(0, 2))) fake_.AddDrive(folder[0]);
    strcpy(state().sourceDir, folder.c_str());
    strcpy(state().setupExeName, "SETUP.EXE");
    strcpy(state().infFileName, "SETUP.INF");
    strcpy(state().infPath, (folder + "SETUP.INF").c_str());
    std::string text;
    for (const std::string& line : lines) text += line + "\r\n";
    fake_.AddFile(folder + "SETUP.INF", text);
    fake_.AddFile(folder + "SETUP.EXE", "MZ");
  }

  // The texts of the message boxes shown so far.
  std::vector<std::string> MessageTexts() const {
    std::vector<std::string> texts;
    for (const auto& box : fake_.messageBoxes) texts.push_back(box.text);
    return texts;
  }

  FakePlatform fake_;
};

}  // namespace setup

#endif  // SETUP_TESTS_UNIT_SETUP_TEST_H_
