// A reader of INI-format text with the observable rules of the platform's
// profile functions, for builds where GetPrivateProfileStringA is not
// available: section and key names match without regard to case, a missing
// section or key yields the fallback, blanks around names and values are
// dropped, and a value is cut to the buffer size less one byte.
#ifndef SETUP_PLATFORM_PROFILE_READER_H_
#define SETUP_PLATFORM_PROFILE_READER_H_

#include <stddef.h>

namespace setup {

// Copies the value of `key` in `section` of `text` (or `fallback` when there
// is none) into `buffer` of `size` bytes, cut to size - 1 bytes. Returns the
// number of bytes copied, without the NUL. `size` 0 copies nothing.
unsigned ReadProfileValue(const char* text, size_t length, const char* section,
                          const char* key, const char* fallback, char* buffer,
                          unsigned size);

// Copies every "key=value" line of `section`, in file order, each ended by a
// NUL, the list ended by a second NUL, into `buffer` of `size` bytes; a line
// that no longer fits is cut (as GetPrivateProfileSectionA does, the result
// is then size - 2). Returns the bytes copied, without the final NUL.
unsigned ReadProfileSection(const char* text, size_t length,
                            const char* section, char* buffer, unsigned size);

// Range of one line [begin, end) with its blanks trimmed.
struct ProfileLine {
  const char* begin;
  const char* end;
};

// Finds the bounds of the lines of `section` in `text`: [*first, *last) is
// the text from the start of the header line up to the start of the next
// header (or the end). Returns 0 when the section is missing.
int FindProfileSection(const char* text, size_t length, const char* section,
                       size_t* first, size_t* last);

}  // namespace setup

#endif  // SETUP_PLATFORM_PROFILE_READER_H_
