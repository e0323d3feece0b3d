#include "platform/win32_platform.h"

#include <windows.h>

#include <string>

#include "tests/integration/integration_test.h"

namespace setup {
namespace {

using Win32PlatformTest = IntegrationTest;

TEST_F(Win32PlatformTest, AnsiCodePageIsShiftJis) {
  EXPECT_EQ(GetACP(), 932u);
  EXPECT_TRUE(platform_.IsDBCSLeadByte(0x83));
  EXPECT_FALSE(platform_.IsDBCSLeadByte(0x5C));
}

TEST_F(Win32PlatformTest, ProfileSectionKeepsEntriesThatShareAKey) {
  const std::string ini = scratch() + "WININIT.INI";
  WriteFileBytes(ini, "[Other]\r\nA=1\r\n[Rename]\r\nNUL=C:\\A.DLL\r\nNUL=C:\\B.DLL\r\n");
  char buffer[256];
  const unsigned length = platform_.GetPrivateProfileSectionA("Rename", buffer, sizeof buffer,
                                                             ini.c_str());
  EXPECT_EQ(std::string(buffer, length), std::string("NUL=C:\\A.DLL\0NUL=C:\\B.DLL\0", 26));
}

TEST_F(Win32PlatformTest, FindFirstFileOnANameWithClosingBackslash) {
  // What the destination check relies on: the platform's answer for an
  // existing folder named with its closing backslash. Recorded, not assumed.
  FindData data;
  const std::string folder = scratch() + "sub";
  CreateDirectoryA(folder.c_str(), nullptr);
  FindHandle plain = platform_.FindFirstFileA(folder.c_str(), &data);
  ASSERT_NE(plain, nullptr);
  EXPECT_TRUE(data.attributes & FILE_ATTRIBUTE_DIRECTORY);
  platform_.FindClose(plain);
  FindHandle slashed = platform_.FindFirstFileA((folder + "\\").c_str(), &data);
  if (slashed != nullptr) platform_.FindClose(slashed);
  RecordProperty("finds_name_with_closing_backslash", slashed != nullptr ? 1 : 0);
}

TEST_F(Win32PlatformTest, RegistryRoundTripUnderCurrentUser) {
  const char path[] = "Software\\SetupExeIntegration\\RoundTrip";
  DeleteKeyTree(HKEY_CURRENT_USER, "Software\\SetupExeIntegration");
  KeyHandle key = 0;
  ASSERT_EQ(platform_.RegCreateKeyExA(kHkeyCurrentUser, path, kKeyWrite, &key), 0);
  const char value[] = "\x83\x5C\x83\x74\x83\x67";
  EXPECT_EQ(platform_.RegSetValueExA(key, "Name", kRegSz, value, sizeof value), 0);
  platform_.RegCloseKey(key);
  ASSERT_EQ(platform_.RegOpenKeyExA(kHkeyCurrentUser, path, kKeyRead, &key), 0);
  char read[32];
  uint32_t size = sizeof read;
  uint32_t type = 0;
  EXPECT_EQ(platform_.RegQueryValueExA(key, "Name", &type, read, &size), 0);
  EXPECT_EQ(type, kRegSz);
  EXPECT_EQ(std::string(read, size), std::string(value, sizeof value));
  platform_.RegCloseKey(key);
  DeleteKeyTree(HKEY_CURRENT_USER, "Software\\SetupExeIntegration");
}

}  // namespace
}  // namespace setup
