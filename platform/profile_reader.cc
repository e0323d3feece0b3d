#include "platform/profile_reader.h"

#include <string.h>

namespace setup {
namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

char Lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

// Case-insensitive comparison of [begin, end) with the NUL-terminated `name`.
bool SameName(const char* begin, const char* end, const char* name) {
  const size_t length = static_cast<size_t>(end - begin);
  if (strlen(name) != length) return false;
  for (size_t i = 0; i < length; ++i) {
    if (Lower(begin[i]) != Lower(name[i])) return false;
  }
  return true;
}

void Trim(const char** begin, const char** end) {
  while (*begin < *end && IsBlank(**begin)) ++*begin;
  while (*end > *begin && IsBlank((*end)[-1])) --*end;
}

// Walks the lines of text; calls visit(lineBegin, lineEnd, lineStartOffset)
// until it returns false. Lines end at LF; a CR before it is dropped.
template <typename Visit>
void ForEachLine(const char* text, size_t length, Visit visit) {
  size_t start = 0;
  while (start < length) {
    size_t stop = start;
    while (stop < length && text[stop] != '\n') ++stop;
    const char* begin = text + start;
    const char* end = text + stop;
    if (end > begin && end[-1] == '\r') --end;
    Trim(&begin, &end);
    if (!visit(begin, end, start)) return;
    start = stop + 1;
  }
}

// True when the trimmed line is a header; sets its name range.
bool HeaderName(const char* begin, const char* end, const char** nameBegin,
                const char** nameEnd) {
  if (begin == end || *begin != '[') return false;
  const char* close = static_cast<const char*>(memchr(begin, ']', static_cast<size_t>(end - begin)));
  if (close == nullptr) return false;
  *nameBegin = begin + 1;
  *nameEnd = close;
  Trim(nameBegin, nameEnd);
  return true;
}

unsigned CopyCut(const char* begin, const char* end, char* buffer, unsigned size) {
  if (size == 0) return 0;
  size_t length = static_cast<size_t>(end - begin);
  if (length > size - 1) length = size - 1;
  memcpy(buffer, begin, length);
  buffer[length] = '\0';
  return static_cast<unsigned>(length);
}

}  // namespace

int FindProfileSection(const char* text, size_t length, const char* section,
                       size_t* first, size_t* last) {
  bool inside = false;
  bool found = false;
  ForEachLine(text, length, [&](const char* begin, const char* end, size_t offset) {
    const char* nameBegin;
    const char* nameEnd;
    if (HeaderName(begin, end, &nameBegin, &nameEnd)) {
      if (inside) {
        *last = offset;
        inside = false;
        return false;
      }
      if (SameName(nameBegin, nameEnd, section)) {
        *first = offset;
        inside = true;
        found = true;
      }
    }
    return true;
  });
  if (inside) *last = length;
  return found ? 1 : 0;
}

unsigned ReadProfileValue(const char* text, size_t length, const char* section,
                          const char* key, const char* fallback, char* buffer,
                          unsigned size) {
  size_t first = 0, last = 0;
  const char* valueBegin = nullptr;
  const char* valueEnd = nullptr;
  if (FindProfileSection(text, length, section, &first, &last)) {
    bool header = true;
    ForEachLine(text + first, last - first, [&](const char* begin, const char* end, size_t) {
      if (header) {
        header = false;
        return true;
      }
      const char* equals = static_cast<const char*>(memchr(begin, '=', static_cast<size_t>(end - begin)));
      if (equals == nullptr) return true;
      const char* nameBegin = begin;
      const char* nameEnd = equals;
      Trim(&nameBegin, &nameEnd);
      if (!SameName(nameBegin, nameEnd, key)) return true;
      valueBegin = equals + 1;
      valueEnd = end;
      Trim(&valueBegin, &valueEnd);
      return false;
    });
  }
  if (valueBegin == nullptr) {
    valueBegin = fallback;
    valueEnd = fallback + strlen(fallback);
  }
  return CopyCut(valueBegin, valueEnd, buffer, size);
}

unsigned ReadProfileSection(const char* text, size_t length,
                            const char* section, char* buffer, unsigned size) {
  if (size < 2) {
    if (size == 1) buffer[0] = '\0';
    return 0;
  }
  unsigned used = 0;
  size_t first = 0, last = 0;
  if (FindProfileSection(text, length, section, &first, &last)) {
    bool header = true;
    ForEachLine(text + first, last - first, [&](const char* begin, const char* end, size_t) {
      if (header) {
        header = false;
        return true;
      }
      if (begin == end) return true;
      // Room for this line, its NUL and the list's final NUL.
      const unsigned room = size - used - 1;
      if (room <= 1) return false;
      used += CopyCut(begin, end, buffer + used, room) + 1;
      return used < size - 1;
    });
  }
  buffer[used] = '\0';
  return used;
}

}  // namespace setup
