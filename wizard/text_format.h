// A small replacement for the one wsprintfA form the wizard needs: a fixed
// text with %u places filled with an unsigned number in decimal.
#ifndef SETUP_WIZARD_TEXT_FORMAT_H_
#define SETUP_WIZARD_TEXT_FORMAT_H_

#include <stddef.h>

namespace setup {

// Writes `format` into `buffer` of `size` bytes with every "%u" replaced by
// `value` in decimal and every "%%" by one "%"; any other byte, a lone "%"
// included, is copied as it stands. '%' is never the second byte of a Shift
// JIS character, so the bytes are scanned one by one. Returns 1 when the
// whole text and its NUL fit; otherwise 0 with `buffer` holding the empty
// text, so that a cut message is never shown.
int FormatUnsigned(char* buffer, size_t size, const char* format,
                   unsigned value);

}  // namespace setup

#endif  // SETUP_WIZARD_TEXT_FORMAT_H_
