// Reads a whole file as bytes, for tests that check files from outside the
// program.
#ifndef SETUP_TESTS_COMMON_FILE_BYTES_H_
#define SETUP_TESTS_COMMON_FILE_BYTES_H_

#include <windows.h>

#include <string>

namespace file_bytes {

// The file's bytes; empty when it cannot be opened.
inline std::string ReadFileBytes(const std::string& path) {
  std::string bytes;
  HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return bytes;
  char buffer[65536];
  DWORD read = 0;
  while (ReadFile(file, buffer, sizeof buffer, &read, nullptr) && read > 0) {
    bytes.append(buffer, read);
  }
  CloseHandle(file);
  return bytes;
}

}  // namespace file_bytes

#endif  // SETUP_TESTS_COMMON_FILE_BYTES_H_
