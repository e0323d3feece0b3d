// The setup description: SETUP.INF beside the setup program (an INI file).
// Loads Title, Folder and TSR, proposes the destination folder (the folder of
// a previous installation when its Uninstall key says so) and resolves the
// numbered [Install] and [Group] entries into the scratch fields of
// SetupState. Nothing is cached: every resolution reads the file again.
#ifndef SETUP_STARTUP_SETUP_DESCRIPTION_H_
#define SETUP_STARTUP_SETUP_DESCRIPTION_H_

namespace setup {

// The key of the product below HKEY_LOCAL_MACHINE, without the product's
// Folder; shared with the uninstall registration and the removal.
extern const char kUninstallKeyPrefix[];

// The one message for a missing or damaged setup description.
extern const char kBadSetupDescriptionText[];

// Shows kBadSetupDescriptionText (no owner, no caption, error icon, OK).
void ReportBadSetupDescription();

// Reads the setup description at `infPath` and sets productTitle,
// productFolder, residentProgram, installDir, installEntryCount and
// groupItemCount. Returns 1 on success; 0 after showing the message when
// Title or Folder is missing or empty (nothing else is then set).
int LoadSetupDescription();

// Resolves install entry `number` (-1 the setup program, 0 the setup
// description, 1 and up the [Install] keys): entrySource := the source part,
// entryTarget := installDir + target part, entryTargetTail := the position
// after installDir. A missing key gives an empty entrySource. A target that
// does not fit in entryTarget leaves entryTarget empty (never a cut path);
// callers treat an empty entryTarget as unusable.
void ResolveInstallEntry(int number);

// Resolves [Group] item `number` (1 and up): entrySource := the caption; when
// the value holds a comma, entryTarget := installDir + the command (empty
// when it does not fit). Without a comma entrySource becomes empty and
// entryTarget keeps its old content.
void ResolveGroupItem(int number);

// Writes `number` as unsigned decimal into keyNameBuffer and returns it; the
// text stays valid until the next call.
char* FormatKeyNumber(int number);

// Cuts an UninstallString value back to the installation folder, in place:
// a leading double quote is dropped and the separator is then the double
// quote, otherwise the blank; the text ends after the last backslash before
// the first separator. Returns 0 (text unchanged) when a separator has no
// backslash before it, so that the caller keeps its default.
int CutUninstallStringToFolder(char* text);

}  // namespace setup

#endif  // SETUP_STARTUP_SETUP_DESCRIPTION_H_
