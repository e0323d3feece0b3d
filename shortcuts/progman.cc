#include "shortcuts/progman.h"

#include <string.h>

#include "platform/platform.h"
#include "startup/setup_description.h"
#include "startup/setup_state.h"
#include "startup/text_helpers.h"

namespace setup {
namespace {

const char kProgman[] = "PROGMAN";
const char kStartupGroup[] = "スタートアップ";
const char kRemovalSuffix[] = "の削除";
const char kUninstallArguments[] = ",/r";
constexpr uint32_t kExecuteTimeout = 10000;

// An argument goes between double quotes as it is: it must be there and must
// not hold a double quote of its own.
int IsSafeArgument(const char* text) {
  return text[0] != '\0' && FindCharMb(text, '"') == nullptr;
}

// command := opening, first, [a double quote, a comma, a double quote,
// second,] closing. Returns 0 when an argument is unsafe or the whole does
// not fit in kPathSize bytes; the command is then not to be sent.
int BuildCommand(char* command, const char* opening, const char* first,
                 const char* second, const char* closing) {
  if (!IsSafeArgument(first)) return 0;
  if (second != nullptr && !IsSafeArgument(second)) return 0;
  command[0] = '\0';
  if (!AppendText(command, kPathSize, opening) ||
      !AppendText(command, kPathSize, first)) {
    return 0;
  }
  if (second != nullptr && (!AppendText(command, kPathSize, "\",\"") ||
                            !AppendText(command, kPathSize, second))) {
    return 0;
  }
  return AppendText(command, kPathSize, closing);
}

// Builds one command and hands it to ProgmanExecute, whose result is not
// looked at. Returns 0 when the command could not be built (nothing sent).
int SendCommand(const char* opening, const char* first, const char* second,
                const char* closing) {
  char command[kPathSize];
  if (!BuildCommand(command, opening, first, second, closing)) return 0;
  ProgmanExecute(command);
  return 1;
}

// command := AddItem for the entry resolved last, captioned `caption`: its
// command line is entryTarget in its short form. Returns 0 when it cannot be
// built.
int BuildItemCommand(char* command, const char* caption) {
  char* commandLine = State().entryTarget;
  ShortenCommandPath(commandLine);
  return BuildCommand(command, "[AddItem(\"", commandLine, caption, "\")]");
}

void SendItem(const char* caption) {
  char command[kPathSize];
  if (BuildItemCommand(command, caption)) ProgmanExecute(command);
}

// Opens the group "スタートアップ" and sends `command` into it. The caller
// builds the command first, so that the group is not opened for nothing.
void SendToStartupGroup(const char* command) {
  SendCommand("[ShowGroup(\"", kStartupGroup, nullptr, "\",1)]");
  ProgmanExecute(command);
}

// entryTarget and entrySource := the uninstall item: the installed setup
// program with "/r", captioned with its file name and "の削除". A part that
// does not fit leaves its field empty, which keeps the item unsent.
void ResolveUninstallItem() {
  SetupState& s = State();
  ResolveInstallEntry(-1);
  if (s.entryTarget[0] != '\0' &&
      !AppendText(s.entryTarget, kPathSize, kUninstallArguments)) {
    s.entryTarget[0] = '\0';
  }
  if (!AppendText(s.entrySource, kPathSize, kRemovalSuffix)) {
    s.entrySource[0] = '\0';
  }
}

void RemoveFromProgman(int kind) {
  const char* title = State().productTitle;
  if (kind == kShortcutStartup) {
    char command[kPathSize];
    if (BuildCommand(command, "[DeleteItem(\"", title, nullptr, "\")]")) {
      SendToStartupGroup(command);
    }
  } else {
    SendCommand("[DeleteGroup(\"", title, nullptr, "\",0)]");
  }
}

void AddToProgman(int kind) {
  SetupState& s = State();
  int count;
  const bool groupItems = s.groupItemCount > 0;
  if (groupItems) {
    ResolveGroupItem(1);
    count = s.groupItemCount;
  } else {
    ResolveInstallEntry(1);
    CopyText(s.entrySource, kPathSize, s.productTitle);
    count = 2;  // the program and its uninstall item
  }

  if (kind == kShortcutStartup) {
    char command[kPathSize];
    if (BuildItemCommand(command, s.productTitle)) SendToStartupGroup(command);
    return;
  }

  if (!SendCommand("[CreateGroup(\"", s.productTitle, nullptr, "\",0)]")) {
    return;
  }
  SendItem(s.entrySource);
  for (int i = 2; i <= count; ++i) {
    if (groupItems) {
      ResolveGroupItem(i);
    } else {
      ResolveUninstallItem();
    }
    SendItem(s.entrySource);
  }
}

}  // namespace

unsigned ProgmanInitialize() {
  return Sys().DdeInitializeA(&State().ddeInstance, ProgmanCallback,
                              kAppCmdClientOnly);
}

int ProgmanConnect(const char* service, const char* topic) {
  SetupState& s = State();
  void* serviceName = Sys().DdeCreateStringHandleA(s.ddeInstance, service);
  void* topicName = Sys().DdeCreateStringHandleA(s.ddeInstance, topic);
  s.progmanConversation = nullptr;
  if (serviceName != nullptr && topicName != nullptr) {
    s.progmanConversation =
        Sys().DdeConnect(s.ddeInstance, serviceName, topicName);
  }
  if (serviceName != nullptr) Sys().DdeFreeStringHandle(s.ddeInstance, serviceName);
  if (topicName != nullptr) Sys().DdeFreeStringHandle(s.ddeInstance, topicName);
  return s.progmanConversation != nullptr ? 1 : 0;
}

int ProgmanExecute(const char* command) {
  void* conversation = State().progmanConversation;
  if (conversation == nullptr) return 0;
  const uint32_t length = static_cast<uint32_t>(strlen(command) + 1);
  return Sys().DdeClientTransaction(command, length, conversation, nullptr,
                                    kCfText, kXtypExecute,
                                    kExecuteTimeout) == 1
             ? 1
             : 0;
}

uintptr_t ProgmanCallback(unsigned type, unsigned, void*, void*, void*, void*,
                          uintptr_t, uintptr_t) {
  if (type == kXtypDisconnect) State().progmanConversation = nullptr;
  return 0;
}

void ShortenCommandPath(char* command) {
  char* comma = FindCharMb(command, ',');
  if (comma != nullptr) *comma = '\0';
  if (command[0] == '\0') return;  // no program: the command stays empty
  char shortPath[kPathSize];
  const unsigned length = Sys().GetShortPathNameA(command, shortPath, kPathSize);
  if (length == 0 || length >= kPathSize) {
    strcpy(shortPath, command);  // fits: it came from a buffer of this size
  }
  if (comma != nullptr) {
    *comma = ' ';
    if (!AppendText(shortPath, kPathSize, comma)) shortPath[0] = '\0';
  }
  strcpy(command, shortPath);
}

void UpdateProgmanGroup(int kind, int remove) {
  ProgmanInitialize();
  ProgmanConnect(kProgman, kProgman);
  if (remove) {
    RemoveFromProgman(kind);
  } else {
    AddToProgman(kind);
  }
}

}  // namespace setup
