// Multibyte-safe text and path helpers. In Shift JIS the second byte of a
// double-byte character can equal a separator such as 0x5C (backslash), so
// separators are searched character by character, never byte by byte.
#ifndef SETUP_STARTUP_TEXT_HELPERS_H_
#define SETUP_STARTUP_TEXT_HELPERS_H_

#include <stddef.h>

namespace setup {

// Returns the first byte of `text` that begins a character and equals
// `character`, or nullptr when there is none. Lead bytes (IsDBCSLeadByte)
// take the following byte with them; a lead byte right before the
// terminator ends the search without reading past it.
char* FindCharMb(const char* text, int character);

// 1 when the byte at `offset` is the second byte of a double-byte character
// (the walk from the start of `text` jumps over it), 0 when it begins a
// character. Reads only the bytes before `offset`.
int IsInsideMbChar(const char* text, unsigned offset);

// Appends a backslash to `path` unless its last byte is a backslash that
// begins a character. The buffer needs two bytes beyond the current length.
void EnsureTrailingBackslash(char* path);

// Copies `source` into `buffer` of `size` bytes. Returns 1 when the whole
// text and its NUL fit; otherwise returns 0 and leaves `buffer` unchanged, so
// a cut text never stands in for the real one.
int CopyText(char* buffer, size_t size, const char* source);

// Appends `source` to the text in `buffer` of `size` bytes, with the same
// all-or-nothing rule as CopyText.
int AppendText(char* buffer, size_t size, const char* source);

// Top-left corner that centres a window of the given outer size on a screen
// of the given size; signed divisions truncating toward zero, no clamping.
struct WindowOrigin {
  int x;
  int y;
};
WindowOrigin CenteredOrigin(int screenWidth, int screenHeight, int windowWidth,
                            int windowHeight);

}  // namespace setup

#endif  // SETUP_STARTUP_TEXT_HELPERS_H_
