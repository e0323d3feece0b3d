// Fixture of the Win32 integration tests (run under Wine): the real platform,
// a zeroed SetupState and a scratch folder of the test's own, removed after
// the test.
#ifndef SETUP_TESTS_INTEGRATION_INTEGRATION_TEST_H_
#define SETUP_TESTS_INTEGRATION_INTEGRATION_TEST_H_

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "platform/win32_platform.h"
#include "startup/setup_state.h"

namespace setup {

class IntegrationTest : public testing::Test {
 protected:
  IntegrationTest();
  ~IntegrationTest() override;

  // A new empty folder below %TEMP%, with a closing backslash.
  const std::string& scratch() const { return scratch_; }

  // Writes `bytes` to `path` (created or replaced).
  static void WriteFileBytes(const std::string& path, const std::string& bytes);
  static std::string ReadFileBytes(const std::string& path);
  // Removes a folder tree on disk (test clean-up only).
  static void RemoveTree(const std::string& folder);
  // Deletes a registry key tree below HKEY_CURRENT_USER or
  // HKEY_LOCAL_MACHINE (test clean-up only).
  static void DeleteKeyTree(HKEY root, const std::string& path);

  Win32Platform platform_;

 private:
  std::string scratch_;
};

}  // namespace setup

#endif  // SETUP_TESTS_INTEGRATION_INTEGRATION_TEST_H_
