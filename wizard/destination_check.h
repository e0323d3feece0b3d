// What the destination page decides at Next, apart from its window: the
// destination must be a full path with a drive, not a drive's root, and
// creatable; a drive short of space needs the user's consent; a resident
// program goes straight on to the copy page. Also the free-space figure and
// the current-directory handling of the folder picker.
#ifndef SETUP_WIZARD_DESTINATION_CHECK_H_
#define SETUP_WIZARD_DESTINATION_CHECK_H_

#include <stdint.h>

#include "platform/platform.h"

namespace setup {

extern const char kRootDirectoryText[];
extern const char kNeedDrivePathText[];
extern const char kDestinationTooLongText[];
extern const char kLowSpaceQuestionFormat[];

// Free space below this many tenths of a byte (100 MiB) asks the user.
constexpr uint64_t kLowSpaceTenths = 10485760;

// What the page does after Next.
enum DestinationOutcome {
  kDestinationStay,  // refused (the message has been shown) or answered No
  kDestinationNext,  // accepted: the sheet moves on to the options page
  kDestinationJump,  // accepted for a resident program: show the copy page
};

// Runs the checks of Next on installDir, which holds the text of the field as
// read from it (at most 259 bytes). In order:
//  - a text of 259 bytes that does not end in a backslash has no room for
//    one: kDestinationTooLongText, stay (installDir keeps the text);
//  - the closing backslash is added;
//  - at most 2 bytes, or a drive root: kRootDirectoryText, stay;
//  - second byte not ':' or third not a backslash: kNeedDrivePathText, stay;
//  - an existing folder is accepted as it is; otherwise the trial:
//    messageOwner := page, CreateFolderPath (its message, stay on failure),
//    then the innermost folder is removed again if it is empty. A file that
//    bears the folder's name is refused by CreateFolderPath's message;
//  - free space below kLowSpaceTenths: the low-space question (caption
//    productTitle, question icon, Yes and No); No stays;
//  - residentProgram: jump, else next.
// Page messages are owned by `page`, carry no caption and the error icon.
DestinationOutcome CheckDestination(WindowHandle page);

// The free space of the drive of installDir divided by ten, in bytes, or 0
// when it cannot be had (the full path has no drive root, or the drive does
// not answer). Free clusters are divided by ten first; the products are
// unsigned 64-bit, so no size of drive wraps.
uint64_t QueryFreeSpaceTenth();

// The folder picker opens at the root of the drive that holds Windows: makes
// that root (the first three bytes of the Windows directory) the current
// directory.
void EnterPickerFolder();

// Makes sourceDir the current directory again, after the picker in any case.
void LeavePickerFolder();

// Cuts the picker's file buffer at `fileOffset`, the start of its file-name
// part, which leaves the chosen folder with its closing backslash. An offset
// outside the text leaves the buffer as it is and returns 0.
int CutToChosenFolder(char* fileBuffer, unsigned fileOffset);

}  // namespace setup

#endif  // SETUP_WIZARD_DESTINATION_CHECK_H_
