#include "uninstall/compare_text.h"

#include "platform/platform.h"

namespace setup {
namespace {

unsigned char Fold(unsigned char c) {
  return (c >= 'a' && c <= 'z') ? static_cast<unsigned char>(c - 'a' + 'A') : c;
}

}  // namespace

int EqualsIgnoringCase(const char* a, const char* b) {
  const unsigned char* p = reinterpret_cast<const unsigned char*>(a);
  const unsigned char* q = reinterpret_cast<const unsigned char*>(b);
  while (*p != 0 && *q != 0) {
    if (Sys().IsDBCSLeadByte(*p)) {
      // A double-byte character matches only the same two bytes.
      if (p[0] != q[0] || p[1] != q[1]) return 0;
      if (p[1] == 0) return 1;  // both end on the same lone lead byte
      p += 2;
      q += 2;
      continue;
    }
    if (Fold(*p) != Fold(*q)) return 0;
    ++p;
    ++q;
  }
  return *p == *q ? 1 : 0;
}

}  // namespace setup
