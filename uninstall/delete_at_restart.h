// Scheduling a file for deletion at the next start of the system, for the
// running program's own file, which cannot delete itself.
#ifndef SETUP_UNINSTALL_DELETE_AT_RESTART_H_
#define SETUP_UNINSTALL_DELETE_AT_RESTART_H_

namespace setup {

// The [Rename] block may grow to this many bytes while the old entries are
// carried over; a longer one is not written.
constexpr unsigned kRenameBlockLimit = 30000;

// Schedules the existing file at `path` for deletion at the next restart.
// First asks the platform (MoveFileExA with the delay flag); when that fails
// it adds "NUL=<short path>" to the [Rename] section of WININIT.INI in the
// Windows directory: the section is rewritten at the end of the file (in
// place of a closing 0x1A) as "[Rename]", every entry it held as it stood
// (duplicates kept, in order) and the new line, each ended by CR LF; other
// sections stay. When the line before the block has no line end, CR LF is
// put before the block so that neither that line nor the header is spoilt. Gives up without writing anything when the block would pass
// kRenameBlockLimit after an old entry, when the short path or the working
// memory cannot be had, or when WININIT.INI cannot be opened (a missing
// file is not created). Whatever fails, the file afterwards holds the old
// entries: should the direct write fail after the old section was removed,
// the section is written back as it was. Reports nothing.
void DeleteAtRestart(const char* path);

}  // namespace setup

#endif  // SETUP_UNINSTALL_DELETE_AT_RESTART_H_
