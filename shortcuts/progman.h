// Program Manager groups and items over DDE (the old shell). Commands are
// ANSI texts in the system code page, sent with their terminating NUL through
// the DDE Management Library as a client of service and topic "PROGMAN".
// The DDEML instance (ddeInstance) and the current conversation
// (progmanConversation) live in SetupState; neither is ever released.
#ifndef SETUP_SHORTCUTS_PROGMAN_H_
#define SETUP_SHORTCUTS_PROGMAN_H_

#include <stdint.h>

namespace setup {

// Creates (remove 0) or removes (any other value) the Program Manager
// shortcuts of one ShortcutKind: Programs and Desktop both stand for the
// group named productTitle with its items, Startup for one item captioned
// productTitle in the group "スタートアップ". Reports nothing; when Program
// Manager does not answer, nothing is sent. Overwrites entrySource and
// entryTarget.
//
// A command is sent only when it is whole and safe: an argument that is
// empty, holds a double quote (it would end the quoted argument early and
// the rest would be read as further commands) or makes the command longer
// than 259 bytes leaves that command unsent. When CreateGroup cannot be
// sent, the group's items are not sent either, so that they never land in
// whichever group Program Manager has open; the Startup group is opened only
// for an item command that can be sent.
void UpdateProgmanGroup(int kind, int remove);

// DdeInitializeA on ddeInstance with ProgmanCallback as a client-only
// instance. Returns DdeInitializeA's result (0 on success).
unsigned ProgmanInitialize();

// Connects to `service` and `topic` and stores the conversation (0 for none)
// in progmanConversation, replacing what was there. The string handles live
// only within the call; when either cannot be made no connection is tried
// (a null name would reach any DDE server). Returns 1 when a conversation
// was made.
int ProgmanConnect(const char* service, const char* topic);

// Sends `command` and its NUL as one synchronous XTYP_EXECUTE in CF_TEXT
// with a 10000 ms timeout on progmanConversation. Returns 1 when the
// transaction returned exactly 1; 0, without sending, when there is no
// conversation.
int ProgmanExecute(const char* command);

// The DDEML callback: XTYP_DISCONNECT clears progmanConversation (whichever
// conversation ended). Returns 0 for every transaction.
uintptr_t ProgmanCallback(unsigned type, unsigned format, void* conversation,
                          void* string1, void* string2, void* data,
                          uintptr_t data1, uintptr_t data2);

// Turns a resolved command (a program path, optionally a comma and
// arguments) in the 260-byte buffer `command` into a Program Manager command
// line, in place: the program's short path, and when there was a comma one
// blank and the arguments (further commas unchanged). When the program has
// no short path (it does not exist, or the short form does not fit) its path
// stays as written. An empty program path leaves the command empty.
void ShortenCommandPath(char* command);

}  // namespace setup

#endif  // SETUP_SHORTCUTS_PROGMAN_H_
