// uidriver.exe: the UI driver from the command line, for scripts.
//
//   uidriver keep <marker-file>
//       Writes <marker-file>, then stays running until the file is deleted
//       (at most 12 hours). Started first in a new Wine session so that the
//       session is up before the programs under test start.
//   uidriver acp
//       Prints the ANSI code page.
//   uidriver screenshot <file.bmp>
//       Saves the whole screen.
//   uidriver windows
//       Lists the visible top-level windows with their controls.
//   uidriver walk [--cwd <dir>] <exe> <folder> [timeout-seconds [arguments...]]
//       Starts <exe> (with the arguments, joined by blanks) in <dir>, by
//       default its own folder, and walks through it as a user who accepts
//       every proposal: answers message boxes with OK or Yes, presses Next
//       and Finish in wizards, presses OK or else Cancel in other dialogs once
//       it can be pressed, and closes windows without them. Every new window
//       counts, also those of programs it starts. Saves a picture of each
//       window (and of each state of its buttons) in <folder>.
//       Exit code 0 when the program ended within the time, 1 otherwise.
#include <windows.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <set>
#include <string>
#include <utility>
#include <vector>

#include "tools/uidriver/uidriver.h"

namespace {

using uidriver::Process;

int Usage() {
  fprintf(stderr,
          "usage: uidriver keep <marker> | acp | screenshot <file.bmp> |"
          " windows |\n       walk [--cwd <dir>] <exe> <folder> [timeout-seconds"
          " [arguments...]]\n");
  return 2;
}

int Keep(const char* marker) {
  FILE* f = fopen(marker, "w");
  if (!f) {
    fprintf(stderr, "uidriver keep: cannot write %s\n", marker);
    return 1;
  }
  fputs("running\n", f);
  fclose(f);
  uidriver::PollUntil(12 * 3600 * 1000, [&] {
    return GetFileAttributesA(marker) == INVALID_FILE_ATTRIBUTES;
  }, 250);
  return 0;
}

int ListWindows() {
  for (HWND window : uidriver::VisibleTopWindows()) {
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    printf("process %lu: %s", pid, uidriver::Describe(window).c_str());
  }
  return 0;
}

// Makes sure `window` has painted: a message sent after the paint requests
// returns only when the window's thread is idle again.
void SettlePaint(HWND window) {
  RedrawWindow(window, nullptr, nullptr,
               RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
  DWORD_PTR ignored = 0;
  SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 2000, &ignored);
}

class Walker {
 public:
  explicit Walker(std::string folder) : folder_(std::move(folder)) {}

  void Shoot(HWND window, const char* what) {
    SettlePaint(window);
    char name[64];
    snprintf(name, sizeof(name), "%02d-%s.bmp", ++shots_, what);
    std::string path = folder_ + "\\" + name;
    bool saved = uidriver::SaveWindowScreenshot(window, path);
    printf("  picture %s%s\n", name, saved ? "" : " (failed)");
    fflush(stdout);
  }

  // Acts once on the visible window `window` and waits until that action
  // has shown its effect (or a deadline passed).
  void Step(HWND window) {
    std::string caption = uidriver::ToUtf8(uidriver::WindowText(window));
    std::string error;
    uidriver::MessageBoxInfo box;
    if (uidriver::ReadMessageBox(window, &box)) {
      printf("message box \"%s\" (%s icon): %s\n", caption.c_str(),
             uidriver::IconName(box.icon), uidriver::ToUtf8(box.text).c_str());
      Shoot(window, "message");
      int answer = box.buttons.empty() ? IDOK : box.buttons.front();
      for (int preferred : {IDOK, IDYES}) {
        for (int b : box.buttons) {
          if (b == preferred) answer = b;
        }
      }
      printf("  answering %d\n", answer);
      if (!uidriver::AnswerMessageBox(window, answer, &error)) {
        printf("  %s\n", error.c_str());
      }
      return;
    }
    if (uidriver::IsWizard(window)) {
      HWND page = uidriver::CurrentPage(window);
      // A picture for each page, and again when its buttons change (the
      // copy page at work, then done).
      std::string state = std::to_string(reinterpret_cast<uintptr_t>(page)) +
                          Buttons(window);
      if (!seen_states_.count(state)) {
        seen_states_.insert(state);
        printf("wizard page \"%s\"\n", caption.c_str());
        Shoot(window, "wizard");
      }
      for (int id : {uidriver::kWizardFinish, uidriver::kWizardNext}) {
        HWND button = GetDlgItem(window, id);
        if (button && IsWindowVisible(button) && IsWindowEnabled(button)) {
          printf("  pressing %s\n", id == uidriver::kWizardNext ? "Next"
                                                                 : "Finish");
          uidriver::PressWizardButton(window, id, &error);
          WaitForChange(window, page);
          return;
        }
      }
      // Nothing to press yet (a page at work): wait for the page to move on.
      WaitForChange(window, page);
      return;
    }
    // Any other window: a dialog waits until one of its buttons can be
    // pressed (OK first, then Cancel); a window without them is closed.
    std::string buttons = Buttons(window);
    std::string state =
        std::to_string(reinterpret_cast<uintptr_t>(window)) + buttons;
    if (!seen_states_.count(state)) {
      seen_states_.insert(state);
      printf("window \"%s\" (%s)\n", caption.c_str(),
             uidriver::ClassName(window).c_str());
      Shoot(window, "window");
    }
    for (int id : {IDOK, IDCANCEL}) {
      HWND button = GetDlgItem(window, id);
      if (button && IsWindowVisible(button) && IsWindowEnabled(button)) {
        printf("  pressing \"%s\"\n",
               uidriver::ToUtf8(uidriver::WindowText(button)).c_str());
        uidriver::Press(button, &error);
        uidriver::PollUntil(5000, [&] { return !IsWindowVisible(window); });
        return;
      }
    }
    if (!GetDlgItem(window, IDOK) && !GetDlgItem(window, IDCANCEL)) {
      printf("  closing it\n");
      PostMessageA(window, WM_CLOSE, 0, 0);
      uidriver::PollUntil(5000, [&] { return !IsWindowVisible(window); });
      return;
    }
    uidriver::PollUntil(60000, [&] {
      return !IsWindowVisible(window) || Buttons(window) != buttons;
    }, 100);
  }

 private:
  // Waits up to 60 s until the wizard shows another page, another window of
  // its process comes up, or its buttons change.
  void WaitForChange(HWND wizard, HWND page) {
    DWORD pid = 0;
    GetWindowThreadProcessId(wizard, &pid);
    std::string before = Fingerprint(wizard, pid);
    uidriver::PollUntil(60000, [&] {
      return !IsWindow(wizard) || uidriver::CurrentPage(wizard) != page ||
             Fingerprint(wizard, pid) != before;
    }, 100);
  }

  // The wizard's buttons (Back, Next, Finish, Cancel), or a dialog's (OK,
  // Cancel, and two places unused), as shown: E enabled, D disabled,
  // - hidden or missing.
  static std::string Buttons(HWND window) {
    std::string print;
    bool wizard = uidriver::IsWizard(window);
    for (int id : {wizard ? uidriver::kWizardBack : IDOK,
                   wizard ? uidriver::kWizardNext : IDCANCEL,
                   wizard ? uidriver::kWizardFinish : 0,
                   wizard ? uidriver::kWizardCancel : 0}) {
      HWND b = id ? GetDlgItem(window, id) : nullptr;
      print += b && IsWindowVisible(b) ? (IsWindowEnabled(b) ? "E" : "D") : "-";
    }
    return print;
  }

  static std::string Fingerprint(HWND wizard, DWORD pid) {
    std::string print;
    for (HWND w : uidriver::TopWindows(pid)) {
      print += std::to_string(reinterpret_cast<uintptr_t>(w)) + ",";
    }
    return print + Buttons(wizard);
  }

  std::string folder_;
  int shots_ = 0;
  std::set<std::string> seen_states_;

 public:
  int shots() const { return shots_; }
};

// The topmost visible window that was not there before the walk began
// (`old`) and stays up for 200 ms; null when there is none.
HWND NextNewWindow(const std::set<HWND>& old) {
  for (HWND window : uidriver::VisibleTopWindows()) {
    if (old.count(window)) continue;
    RECT rect;
    GetWindowRect(window, &rect);
    if (rect.right - rect.left < 50) continue;  // tray and helper windows
    bool gone = uidriver::PollUntil(
        200, [&] { return !IsWindowVisible(window); }, 50);
    if (!gone) return window;
  }
  return nullptr;
}

int Walk(const std::string& exe, const std::string& arguments,
         const std::string& current_dir, const std::string& folder,
         int timeout_s) {
  CreateDirectoryA(folder.c_str(), nullptr);
  std::vector<HWND> before = uidriver::VisibleTopWindows();
  std::set<HWND> old(before.begin(), before.end());
  Process process;
  std::string error;
  if (!process.Start(exe, arguments, current_dir, &error)) {
    fprintf(stderr, "%s\n", error.c_str());
    return 1;
  }
  printf("started \"%s\" %s\n", exe.c_str(), arguments.c_str());
  fflush(stdout);

  // Every new window counts, whichever process shows it: the program may
  // start others (a copy of itself, the installed product, a viewer). The
  // walk ends 8 s after the program ended and no new window showed.
  Walker walker(folder);
  const DWORD start = GetTickCount();
  const DWORD limit = static_cast<DWORD>(timeout_s) * 1000;
  DWORD quiet_since = start;
  DWORD exit_code = 0;
  bool ended = false;
  while (GetTickCount() - start < limit) {
    if (!ended && process.WaitForExit(0, &exit_code)) {
      ended = true;
      printf("program ended with exit code %lu\n", exit_code);
      quiet_since = GetTickCount();
    }
    if (HWND window = NextNewWindow(old)) {
      walker.Step(window);
      fflush(stdout);
      quiet_since = GetTickCount();
      continue;
    }
    if (ended && GetTickCount() - quiet_since > 8000) break;
    Sleep(100);
  }
  if (!ended) {
    printf("program still running after %d s; ending it\n", timeout_s);
    uidriver::SaveScreenshot(folder + "\\timeout.bmp");
    process.Terminate();
  }
  printf("%d pictures in %s\n", walker.shots(), folder.c_str());
  return ended ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) return Usage();
  std::string command = argv[1];
  if (command == "keep" && argc == 3) return Keep(argv[2]);
  if (command == "acp" && argc == 2) {
    printf("%u\n", GetACP());
    return 0;
  }
  if (command == "screenshot" && argc == 3) {
    return uidriver::SaveScreenshot(argv[2]) ? 0 : 1;
  }
  if (command == "windows" && argc == 2) return ListWindows();
  if (command == "walk") {
    int first = 2;
    std::string current_dir;
    if (argc > 3 && std::string(argv[2]) == "--cwd") {
      current_dir = argv[3];
      first = 4;
    }
    if (argc < first + 2) return Usage();
    std::string exe = argv[first];
    if (current_dir.empty()) {
      current_dir = exe.substr(0, exe.find_last_of('\\') + 1);
    }
    std::string arguments;
    for (int i = first + 3; i < argc; ++i) {
      arguments += (i > first + 3 ? " " : "") + std::string(argv[i]);
    }
    int timeout_s = argc > first + 2 ? atoi(argv[first + 2]) : 120;
    return Walk(exe, arguments, current_dir, argv[first + 1], timeout_s);
  }
  return Usage();
}
