// bench_setup.exe: the timing side of bench/run.sh.
//
//   bench_setup wizard <setup.exe> <destination>
//       Starts SETUP.EXE, puts <destination> into the destination page, goes
//       on to the options page and measures the time from pressing Next
//       there until Finish is enabled (the whole install sequence, its
//       300 ms start delay included). Then presses Cancel.
//   bench_setup copy <source folder> <destination> <count>
//       Copies F0001.DAT .. F<count>.DAT from <source folder> with a bare
//       CopyFileA loop into <destination> (made first) and measures it.
//   bench_setup startup <setup.exe>
//       Measures the time from starting SETUP.EXE until its destination page
//       shows the proposed folder, then presses Cancel.
//
// Each prints one line "<mode> <milliseconds>"; exit code 0 on success.
#include <windows.h>
#include <stdio.h>

#include <string>

#include "tools/uidriver/uidriver.h"

namespace {

constexpr int kTimeoutMs = 600000;

double NowMs() {
  static LARGE_INTEGER frequency = [] {
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    return f;
  }();
  LARGE_INTEGER now;
  QueryPerformanceCounter(&now);
  return 1000.0 * static_cast<double>(now.QuadPart) / static_cast<double>(frequency.QuadPart);
}

bool Usable(HWND wizard, int id) {
  HWND button = GetDlgItem(wizard, id);
  return button && IsWindowVisible(button) && IsWindowEnabled(button);
}

int Fail(const char* what) {
  fprintf(stderr, "bench_setup: %s\n", what);
  return 1;
}

std::string FolderOf(const std::string& path) {
  return path.substr(0, path.find_last_of('\\') + 1);
}

// The page shown now, if it holds control `id`.
HWND PageWith(HWND wizard, int id) {
  HWND page = uidriver::CurrentPage(wizard);
  return page && GetDlgItem(page, id) ? page : nullptr;
}

bool PressWhenUsable(HWND wizard, int id) {
  return uidriver::PollUntil(kTimeoutMs, [&] { return Usable(wizard, id); }, 5) &&
         uidriver::PressWizardButton(wizard, id);
}

void CancelAndWait(uidriver::Process& setup, HWND wizard) {
  PressWhenUsable(wizard, IDCANCEL);
  if (!setup.WaitForExit(60000)) setup.Terminate();
}

int Wizard(const std::string& exe, const std::string& destination) {
  uidriver::Process setup;
  if (!setup.Start(exe, "", FolderOf(exe))) return Fail("SETUP.EXE did not start");
  HWND wizard = uidriver::WaitForWizard(setup.id(), 60000);
  if (!wizard) return Fail("no wizard");
  HWND page = nullptr;
  uidriver::PollUntil(60000, [&] { return (page = PageWith(wizard, 1001)) != nullptr; });
  if (!page) return Fail("no destination page");
  uidriver::SetWindowTextTo(GetDlgItem(page, 1001), destination);
  if (!PressWhenUsable(wizard, uidriver::kWizardNext)) return Fail("Next on the destination page");
  if (!uidriver::PollUntil(60000, [&] { return PageWith(wizard, 1006) != nullptr; })) {
    return Fail("no options page (a message box?)");
  }
  if (!uidriver::PollUntil(60000, [&] { return Usable(wizard, uidriver::kWizardNext); })) {
    return Fail("Next on the options page never usable");
  }
  const double start = NowMs();
  uidriver::PressWizardButton(wizard, uidriver::kWizardNext);
  if (!uidriver::PollUntil(kTimeoutMs, [&] { return Usable(wizard, uidriver::kWizardFinish); }, 5)) {
    return Fail("Finish never enabled");
  }
  const double elapsed = NowMs() - start;
  printf("wizard %.0f\n", elapsed);
  CancelAndWait(setup, wizard);
  return 0;
}

int Copy(const std::string& source, const std::string& destination, int count) {
  CreateDirectoryA(destination.c_str(), nullptr);
  const double start = NowMs();
  for (int i = 1; i <= count; ++i) {
    char name[16];
    snprintf(name, sizeof name, "F%04d.DAT", i);
    if (!CopyFileA((source + name).c_str(), (destination + name).c_str(), FALSE)) {
      return Fail("CopyFileA failed");
    }
  }
  printf("copy %.0f\n", NowMs() - start);
  return 0;
}

int Startup(const std::string& exe) {
  const double start = NowMs();
  uidriver::Process setup;
  if (!setup.Start(exe, "", FolderOf(exe))) return Fail("SETUP.EXE did not start");
  HWND wizard = nullptr;
  HWND page = nullptr;
  uidriver::PollUntil(kTimeoutMs, [&] {
    if (!wizard) wizard = uidriver::WaitForWizard(setup.id(), 0);
    page = wizard ? PageWith(wizard, 1001) : nullptr;
    return page && !uidriver::WindowText(GetDlgItem(page, 1001)).empty();
  }, 5);
  if (!page) return Fail("no destination page");
  printf("startup %.0f\n", NowMs() - start);
  CancelAndWait(setup, wizard);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string mode = argc > 1 ? argv[1] : "";
  if (mode == "wizard" && argc == 4) return Wizard(argv[2], argv[3]);
  if (mode == "copy" && argc == 5) return Copy(argv[2], argv[3], atoi(argv[4]));
  if (mode == "startup" && argc == 3) return Startup(argv[2]);
  fprintf(stderr,
          "usage: bench_setup wizard <setup.exe> <dest> | copy <src> <dest> <count> |"
          " startup <setup.exe>\n");
  return 2;
}
