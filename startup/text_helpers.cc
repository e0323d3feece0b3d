#include "startup/text_helpers.h"

#include <string.h>

#include "platform/platform.h"

namespace setup {

char* FindCharMb(const char* text, int character) {
  const unsigned char wanted = static_cast<unsigned char>(character);
  const unsigned char* p = reinterpret_cast<const unsigned char*>(text);
  while (*p != 0) {
    if (*p == wanted) return const_cast<char*>(reinterpret_cast<const char*>(p));
    if (Sys().IsDBCSLeadByte(*p)) {
      if (p[1] == 0) return nullptr;  // a lone lead byte ends the text
      p += 2;
    } else {
      p += 1;
    }
  }
  return nullptr;
}

int IsInsideMbChar(const char* text, unsigned offset) {
  const unsigned char* bytes = reinterpret_cast<const unsigned char*>(text);
  unsigned position = 0;
  while (position < offset) {
    position += Sys().IsDBCSLeadByte(bytes[position]) ? 2 : 1;
  }
  return position > offset ? 1 : 0;
}

void EnsureTrailingBackslash(char* path) {
  const size_t length = strlen(path);
  if (length > 0 && path[length - 1] == '\\' &&
      IsInsideMbChar(path, static_cast<unsigned>(length - 1)) == 0) {
    return;
  }
  path[length] = '\\';
  path[length + 1] = '\0';
}

int CopyText(char* buffer, size_t size, const char* source) {
  const size_t length = strlen(source);
  if (length >= size) return 0;
  memmove(buffer, source, length + 1);
  return 1;
}

int AppendText(char* buffer, size_t size, const char* source) {
  const size_t used = strlen(buffer);
  if (used >= size) return 0;
  return CopyText(buffer + used, size - used, source);
}

WindowOrigin CenteredOrigin(int screenWidth, int screenHeight, int windowWidth,
                            int windowHeight) {
  WindowOrigin origin;
  origin.y = (screenHeight - windowHeight) / 2;
  origin.x = (screenWidth - windowWidth) / 2;
  return origin;
}

}  // namespace setup
