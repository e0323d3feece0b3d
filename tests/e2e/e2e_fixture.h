// Shared fixture of the end-to-end tests: they run the real SETUP.EXE (copied
// beside e2e_tests.exe by the build) under Windows or Wine and drive it
// through its windows with the UI driver.
//
// Each test gets its own work folder below %TEMP%\setup-e2e\. Distribution
// folders are made there from a table of SETUP.INF lines; the lines are
// written byte for byte, so Japanese literals (compiled to CP932) reach the
// file as Shift JIS. After each test the fixture ends SETUP.EXE if it still
// runs, deletes the work folder and every folder and registry key the test
// registered with Cleanup...(), closes the windows that came up during the
// test in other processes (the installed program, a document viewer, the
// folder windows Program Manager's DDE server opens). At the first failed
// assertion of any test a screenshot is saved into the folder named by the
// environment variable E2E_SCREENSHOTS (when set).
#ifndef SETUP_TESTS_E2E_E2E_FIXTURE_H_
#define SETUP_TESTS_E2E_E2E_FIXTURE_H_

#include <windows.h>
#include <shlobj.h>  // CSIDL_ values for ShellFolder()

#include <string>
#include <utility>
#include <vector>

#include "gtest/gtest.h"
#include "tools/uidriver/uidriver.h"

namespace e2e {

// Deadlines. Wine can take seconds to show the first window of a process.
constexpr int kWindowTimeoutMs = 20000;
constexpr int kExitTimeoutMs = 20000;

// The Uninstall key of the system, with a trailing backslash.
extern const char kUninstallKey[];

// The message of a missing or damaged setup description.
extern const char kDamagedSetupFileText[];

// The caption that the platform gives a message box without caption.
extern const char kDefaultErrorCaption[];

// Folder of e2e_tests.exe, ending with a backslash.
std::string ExeDir();

// The SETUP.EXE under test: %E2E_SETUP_EXE% when set, else SETUP.EXE beside
// e2e_tests.exe.
std::string SetupExePath();

// `folder` with a trailing backslash added when missing.
std::string WithBackslash(const std::string& folder);

bool FileExists(const std::string& path);
bool FolderExists(const std::string& path);

// Writes `bytes` to `path`, creating missing folders on the way.
bool WriteFileBytes(const std::string& path, const std::string& bytes);

// The INF text of `lines`, each ended by CR LF.
std::string InfText(const std::vector<std::string>& lines);

// Creates `path` and its missing parents.
bool MakeFolders(const std::string& path);

// Copies the folder `from` with everything below it into `to` (made when
// missing). True when every file was copied.
bool CopyTree(const std::string& from, const std::string& to);

// Deletes `path` with everything below it. True when it is gone afterwards.
bool DeleteTree(const std::string& path);

// Every file and folder below `folder` as "relative\path size" lines (folders
// end with a backslash), sorted: two listings are equal when nothing below
// `folder` was added, removed, or changed in size.
std::vector<std::string> ListTree(const std::string& folder);

bool KeyExists(HKEY root, const std::string& subkey);
void DeleteKeyTree(HKEY root, const std::string& subkey);
std::vector<std::string> SubkeyNames(HKEY root, const std::string& subkey);

// A shell folder of the current user (CSIDL_PROGRAMS, CSIDL_DESKTOPDIRECTORY,
// CSIDL_STARTUP...), ending with a backslash.
std::string ShellFolder(int csidl);

// The sample distribution assembled by the build (<build>\sample\: SETUP.EXE,
// SETUP.INF, NOTES.EXE and its files), with a trailing backslash.
std::string SampleDir();

// The destination SETUP.EXE proposes for `folder_name`: the drive of the
// Windows folder, "\Program Files\", the name and a backslash.
std::string DefaultInstallDir(const std::string& folder_name);

// Saves a screenshot named after the running test (and `suffix`) into
// %E2E_SCREENSHOTS%, when set.
void SaveTestScreenshot(const std::string& suffix);

// Expects an error box as the program shows them: `text` byte for byte, the
// default caption, the error icon, the OK button only, and `owner`.
void ExpectErrorBox(const uidriver::MessageBoxInfo& box,
                    const std::string& text, HWND owner);

class SetupTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // The test's own folder, ending with a backslash.
  const std::string& work() const { return work_; }

  // Makes the folder `name` below work() with a copy of SETUP.EXE and a
  // SETUP.INF written from `inf_lines`. Returns it with a trailing backslash.
  std::string MakeDistribution(const std::string& name,
                               const std::vector<std::string>& inf_lines);

  // A copy of the sample distribution (SampleDir()) as the folder `name`
  // below work(), with the SETUP.EXE under test. Returns it with a trailing
  // backslash.
  std::string MakeSampleDistribution(const std::string& name);

  // The same without SETUP.INF.
  std::string MakeDistributionWithoutInf(const std::string& name);

  // Writes a product file below a distribution folder (subfolders allowed).
  void AddFile(const std::string& folder, const std::string& relative_path,
               const std::string& bytes);

  // Starts `folder`SETUP.EXE with exactly `arguments` as its command-line
  // arguments, in `current_dir` (default: `folder`). Fails the test when it
  // cannot start.
  void StartSetup(const std::string& folder, const std::string& arguments = "",
                  const std::string& current_dir = "");

  // The running SETUP.EXE.
  uidriver::Process& setup() { return setup_; }

  // Waits for the wizard frame of SETUP.EXE; fails the test when none comes.
  HWND WaitForWizard(int timeout_ms = kWindowTimeoutMs);

  // Waits for a message box of SETUP.EXE and reads it; fails the test when
  // none comes.
  uidriver::MessageBoxInfo WaitForMessageBox(int timeout_ms = kWindowTimeoutMs);

  // Answers `box` with `button_id`, failing the test when that is refused.
  void Answer(const uidriver::MessageBoxInfo& box, int button_id);

  // Waits for SETUP.EXE to end without showing any further window; returns
  // its exit code. Fails the test when a window comes up or the deadline
  // passes.
  DWORD WaitForExitWithoutWindow(int timeout_ms = kExitTimeoutMs);

  // Expects the one error box of a missing or damaged setup description:
  // the fixed text, the default caption, the error icon, OK only, no owner.
  // Answers it with OK and expects exit code 1 with no further window.
  void ExpectDamagedSetupFileAndExit();

  // Deleted after the test (folders with everything below them).
  void CleanupFolder(const std::string& path);
  void CleanupKey(HKEY root, const std::string& subkey);
  // The product's default destination and its Uninstall key.
  void CleanupProduct(const std::string& folder_name);

  // Saves a screenshot named after the test (and `suffix`) into
  // %E2E_SCREENSHOTS%, when set.
  void SaveScreenshot(const std::string& suffix = "");

 private:
  void CloseNewWindows();

  std::string work_;
  uidriver::Process setup_;
  std::vector<HWND> windows_before_;
  std::vector<std::string> cleanup_folders_;
  std::vector<std::pair<HKEY, std::string>> cleanup_keys_;
};

}  // namespace e2e

#endif  // SETUP_TESTS_E2E_E2E_FIXTURE_H_
