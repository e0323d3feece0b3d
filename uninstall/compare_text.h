// Case-insensitive comparison of ANSI texts for the removal: what the
// platform's lstrcmpiA answers for the names met there (registry subkeys,
// file-name extensions).
#ifndef SETUP_UNINSTALL_COMPARE_TEXT_H_
#define SETUP_UNINSTALL_COMPARE_TEXT_H_

namespace setup {

// 1 when `a` and `b` are the same text apart from the case of ASCII letters,
// 0 otherwise. Double-byte characters are compared whole, byte for byte, so
// a trail byte that looks like a letter is never folded.
int EqualsIgnoringCase(const char* a, const char* b);

}  // namespace setup

#endif  // SETUP_UNINSTALL_COMPARE_TEXT_H_
