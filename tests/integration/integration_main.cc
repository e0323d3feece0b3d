#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "tests/common/file_bytes.h"
#include "tests/integration/integration_test.h"

namespace setup {

IntegrationTest::IntegrationTest() {
  ResetState();
  SetPlatform(&platform_);
  char temp[MAX_PATH];
  GetTempPathA(MAX_PATH, temp);
  const testing::TestInfo* info = testing::UnitTest::GetInstance()->current_test_info();
  scratch_ = std::string(temp) + "it_" + info->test_suite_name() + "_" + info->name() + "\\";
  RemoveTree(scratch_);
  CreateDirectoryA(scratch_.c_str(), nullptr);
}

IntegrationTest::~IntegrationTest() {
  // A folder that is the current directory cannot be removed: leave it.
  char temp[MAX_PATH];
  GetTempPathA(MAX_PATH, temp);
  SetCurrentDirectoryA(temp);
  RemoveTree(scratch_);
  SetPlatform(nullptr);
}

void IntegrationTest::WriteFileBytes(const std::string& path, const std::string& bytes) {
  HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE) << path;
  DWORD written = 0;
  WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  CloseHandle(file);
}

std::string IntegrationTest::ReadFileBytes(const std::string& path) {
  return file_bytes::ReadFileBytes(path);
}

namespace {

// True when `text` ends in a backslash that is a character of its own, not
// the second byte of a double-byte character such as ソ (0x83 0x5C).
bool EndsWithBackslash(const std::string& text) {
  bool backslash = false;
  for (size_t i = 0; i < text.size(); ++i) {
    if (IsDBCSLeadByte(static_cast<BYTE>(text[i])) && i + 1 < text.size()) {
      ++i;
      backslash = false;
    } else {
      backslash = text[i] == '\\';
    }
  }
  return backslash;
}

}  // namespace

void IntegrationTest::RemoveTree(const std::string& folder) {
  std::string base = folder;
  if (!EndsWithBackslash(base)) base += '\\';
  WIN32_FIND_DATAA found;
  HANDLE find = FindFirstFileA((base + "*").c_str(), &found);
  if (find != INVALID_HANDLE_VALUE) {
    do {
      const std::string name = found.cFileName;
      if (name == "." || name == "..") continue;
      const std::string path = base + name;
      if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        RemoveTree(path);
      } else {
        SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileA(path.c_str());
      }
    } while (FindNextFileA(find, &found));
    FindClose(find);
  }
  RemoveDirectoryA(base.c_str());
}

void IntegrationTest::DeleteKeyTree(HKEY root, const std::string& path) {
  HKEY key;
  if (RegOpenKeyExA(root, path.c_str(), 0, KEY_ALL_ACCESS, &key) == ERROR_SUCCESS) {
    char name[256];
    while (RegEnumKeyA(key, 0, name, sizeof name) == ERROR_SUCCESS) {
      DeleteKeyTree(key, name);
      if (RegDeleteKeyA(key, name) != ERROR_SUCCESS) break;
    }
    RegCloseKey(key);
  }
  RegDeleteKeyA(root, path.c_str());
}

}  // namespace setup

int main(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
