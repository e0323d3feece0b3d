#include "uninstall/delete_at_restart.h"

#include <string.h>

#include "platform/platform.h"
#include "startup/setup_state.h"
#include "startup/text_helpers.h"

namespace setup {
namespace {

constexpr unsigned kBufferSize = 0x8000;
const char kIniName[] = "\\WININIT.INI";
const char kSection[] = "Rename";
const char kHeader[] = "[Rename]\r\n";
const char kOwnKey[] = "NUL=";
const char kLineEnd[] = "\r\n";
constexpr unsigned char kEndOfFileMark = 0x1A;

// A block of working memory from GlobalAlloc, released when it goes out of
// scope. get() is nullptr when the memory could not be had.
class GlobalBlock {
 public:
  GlobalBlock() : bytes_(static_cast<char*>(Sys().GlobalAlloc(kBufferSize))) {}
  ~GlobalBlock() {
    if (bytes_ != nullptr) Sys().GlobalFree(bytes_);
  }
  GlobalBlock(const GlobalBlock&) = delete;
  GlobalBlock& operator=(const GlobalBlock&) = delete;
  char* get() const { return bytes_; }

 private:
  char* bytes_;
};

// The bytes of the new [Rename] block: no NUL anywhere, never more than
// kBufferSize.
struct Block {
  char* bytes;
  unsigned used;
};

// Appends `text` whole, or nothing and returns 0 when it does not fit.
int Append(Block* block, const char* text) {
  const size_t length = strlen(text);
  if (length > kBufferSize - block->used) return 0;
  memcpy(block->bytes + block->used, text, length);
  block->used += static_cast<unsigned>(length);
  return 1;
}

// Header, the old `entries` (strings ended by NULs, the list by a second
// NUL) as they stand, apart from a 0x1A read as one, then the line for `shortPath`. Returns 0 when the old
// entries pass kRenameBlockLimit or one of them does not fit the block.
int ComposeBlock(const char* entries, const char* shortPath, Block* block) {
  Append(block, kHeader);
  for (const char* entry = entries; *entry != '\0'; entry += strlen(entry) + 1) {
    // The end-of-file mark read as a line of the section is no entry.
    if (static_cast<unsigned char>(entry[0]) == kEndOfFileMark) continue;
    if (!Append(block, entry) || !Append(block, kLineEnd)) return 0;
    if (block->used > kRenameBlockLimit) return 0;
  }
  // At most 30000 + 4 + 259 + 2 bytes: always fits.
  Append(block, kOwnKey);
  Append(block, shortPath);
  Append(block, kLineEnd);
  return 1;
}

// Writes the block at the end of the file, in place of a closing 0x1A.
// When the line before that place has no line end, CR LF goes first, so
// that the header starts a line of its own and that line keeps its value.
// Returns 1 when everything was written.
int WriteBlockAtEnd(const char* iniPath, const Block& block) {
  const int file = Sys().OpenFileReadWrite(iniPath);
  if (file == kHfileError) return 0;
  const long end = Sys().SeekFile(file, 0, kSeekEnd);
  if (end < 0) {
    Sys().CloseFile(file);
    return 0;
  }
  // tail[1] is the last byte, tail[0] the one before it; a line end stands
  // in for bytes that the file does not have.
  unsigned char tail[2] = {'\n', '\n'};
  const unsigned count = end < 2 ? static_cast<unsigned>(end) : 2;
  if (count > 0) {
    Sys().SeekFile(file, end - static_cast<long>(count), kSeekSet);
    if (Sys().ReadFile(file, tail + 2 - count, count) != count) tail[0] = tail[1] = '\n';
  }
  long position = end;
  unsigned char before = tail[1];
  if (tail[1] == kEndOfFileMark) {
    --position;
    before = tail[0];
  }
  const int needsLineEnd = position > 0 && before != '\n';
  Sys().SeekFile(file, position, kSeekSet);
  int written = 1;
  if (needsLineEnd) written = Sys().WriteFile(file, kLineEnd, 2) == 2;
  if (written) written = Sys().WriteFile(file, block.bytes, block.used) == block.used;
  Sys().CloseFile(file);
  return written;
}

}  // namespace

void DeleteAtRestart(const char* path) {
  if (Sys().MoveFileExA(path, nullptr, kMoveFileDelayUntilReboot)) return;

  char iniPath[kPathSize];
  unsigned length = Sys().GetWindowsDirectoryA(iniPath, kPathSize);
  if (length == 0 || length >= kPathSize || !AppendText(iniPath, kPathSize, kIniName)) {
    return;
  }
  char shortPath[kPathSize];
  length = Sys().GetShortPathNameA(path, shortPath, kPathSize);
  if (length == 0 || length >= kPathSize) return;

  GlobalBlock blockMemory;
  if (blockMemory.get() == nullptr) return;
  GlobalBlock entries;
  if (entries.get() == nullptr) return;
  const unsigned read =
      Sys().GetPrivateProfileSectionA(kSection, entries.get(), kBufferSize, iniPath);
  if (read >= kBufferSize - 2) return;  // the section was cut: it is too long anyway
  entries.get()[read] = '\0';
  entries.get()[read + 1] = '\0';

  Block block = {blockMemory.get(), 0};
  if (!ComposeBlock(entries.get(), shortPath, &block)) return;

  // The old section goes first, and the profile service's copy is written
  // out, so that the file on disk holds no [Rename] when the block is added.
  if (!Sys().WritePrivateProfileStringA(kSection, nullptr, nullptr, iniPath)) return;
  Sys().WritePrivateProfileStringA(nullptr, nullptr, nullptr, iniPath);
  if (WriteBlockAtEnd(iniPath, block)) return;
  // The direct write failed: put back the entries that other programs
  // scheduled, so that none is lost.
  if (entries.get()[0] != '\0') {
    Sys().WritePrivateProfileSectionA(kSection, entries.get(), iniPath);
  }
}

}  // namespace setup
