// Numeric values of the Win32 constants that the setup logic uses. The logic
// does not include <windows.h>; these carry the same values so that the Win32
// layer passes them through unchanged (win32_platform.cc checks that they agree).
#ifndef SETUP_PLATFORM_WIN_CONSTANTS_H_
#define SETUP_PLATFORM_WIN_CONSTANTS_H_

#include <stdint.h>

namespace setup {

// Message box flags and answers.
constexpr uint32_t kMbOk = 0x0;
constexpr uint32_t kMbOkCancel = 0x1;
constexpr uint32_t kMbYesNoCancel = 0x3;
constexpr uint32_t kMbYesNo = 0x4;
constexpr uint32_t kMbIconError = 0x10;
constexpr uint32_t kMbIconQuestion = 0x20;
constexpr uint32_t kMbIconInformation = 0x40;
constexpr int kIdOk = 1;
constexpr int kIdCancel = 2;
constexpr int kIdYes = 6;
constexpr int kIdNo = 7;

// Error codes reported by GetLastError.
constexpr uint32_t kErrorFileNotFound = 2;
constexpr uint32_t kErrorPathNotFound = 3;
constexpr uint32_t kErrorAccessDenied = 5;
constexpr uint32_t kErrorWriteProtect = 19;
constexpr uint32_t kErrorSharingViolation = 32;
constexpr uint32_t kErrorHandleDiskFull = 39;
constexpr uint32_t kErrorFileExists = 80;
constexpr uint32_t kErrorDiskFull = 112;
constexpr uint32_t kErrorAlreadyExists = 183;
constexpr uint32_t kErrorDirNotEmpty = 145;
constexpr uint32_t kErrorMoreData = 234;
constexpr uint32_t kErrorNoMoreItems = 259;

// File attributes.
constexpr uint32_t kFileAttributeReadOnly = 0x1;
constexpr uint32_t kFileAttributeHidden = 0x2;
constexpr uint32_t kFileAttributeSystem = 0x4;
constexpr uint32_t kFileAttributeDirectory = 0x10;
constexpr uint32_t kFileAttributeArchive = 0x20;
constexpr uint32_t kFileAttributeNormal = 0x80;

// MoveFileExA flags.
constexpr uint32_t kMoveFileDelayUntilReboot = 0x4;

// Registry.
constexpr uint32_t kKeyRead = 0x20019;
constexpr uint32_t kKeyWrite = 0x20006;
constexpr uint32_t kKeyAllAccess = 0xF003F;
constexpr uint32_t kRegSz = 1;
constexpr long kErrorSuccess = 0;

// Show commands.
constexpr int kSwHide = 0;
constexpr int kSwShowNormal = 1;
constexpr int kSwShow = 5;

// DDE.
constexpr uint32_t kAppCmdClientOnly = 0x10;
constexpr unsigned kXtypExecute = 0x4050;
constexpr unsigned kXtypDisconnect = 0x80C2;
constexpr unsigned kCfText = 1;
constexpr unsigned kDmlErrNoError = 0;

// Old-style file access.
constexpr int kHfileError = -1;
constexpr int kSeekSet = 0;
constexpr int kSeekEnd = 2;

}  // namespace setup

#endif  // SETUP_PLATFORM_WIN_CONSTANTS_H_
