#include "wizard/text_format.h"

namespace setup {

int FormatUnsigned(char* buffer, size_t size, const char* format,
                   unsigned value) {
  if (size == 0) return 0;
  char digits[12];
  size_t digitCount = 0;
  do {
    digits[digitCount++] = static_cast<char>('0' + value % 10);
    value /= 10;
  } while (value != 0);

  size_t used = 0;
  for (const char* p = format; *p != '\0'; ++p) {
    const char* piece = p;
    size_t pieceLength = 1;
    bool number = false;
    if (p[0] == '%' && p[1] == 'u') {
      number = true;
      pieceLength = digitCount;
      ++p;
    } else if (p[0] == '%' && p[1] == '%') {
      ++p;
    }
    if (used + pieceLength >= size) {
      buffer[0] = '\0';
      return 0;
    }
    for (size_t i = 0; i < pieceLength; ++i) {
      buffer[used++] = number ? digits[digitCount - 1 - i] : piece[i];
    }
  }
  buffer[used] = '\0';
  return 1;
}

}  // namespace setup
