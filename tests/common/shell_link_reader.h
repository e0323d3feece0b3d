// Reads a saved shell-link file back through the shell's own link object,
// for tests that check the shortcuts from outside the program.
#ifndef SETUP_TESTS_COMMON_SHELL_LINK_READER_H_
#define SETUP_TESTS_COMMON_SHELL_LINK_READER_H_

#include <windows.h>
#include <objbase.h>
#include <shlobj.h>

#include <string>

namespace link_reader {

// What IShellLinkA reads back from a link file; `loaded` is false when the
// file could not be loaded.
struct LinkContents {
  bool loaded = false;
  std::string path;
  std::string arguments;
  std::string description;
  std::string workingDirectory;
};

inline LinkContents ReadLink(const std::string& linkPath) {
  LinkContents contents;
  const HRESULT com = CoInitialize(nullptr);
  IShellLinkA* link = nullptr;
  if (SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER,
                                 IID_IShellLinkA, reinterpret_cast<void**>(&link)))) {
    IPersistFile* file = nullptr;
    if (SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) {
      wchar_t wide[MAX_PATH];
      MultiByteToWideChar(CP_ACP, 0, linkPath.c_str(), -1, wide, MAX_PATH);
      if (SUCCEEDED(file->Load(wide, STGM_READ))) {
        char text[1024];
        contents.loaded = true;
        text[0] = '\0';
        link->GetPath(text, sizeof text, nullptr, SLGP_RAWPATH);
        contents.path = text;
        text[0] = '\0';
        link->GetArguments(text, sizeof text);
        contents.arguments = text;
        text[0] = '\0';
        link->GetDescription(text, sizeof text);
        contents.description = text;
        text[0] = '\0';
        link->GetWorkingDirectory(text, sizeof text);
        contents.workingDirectory = text;
      }
      file->Release();
    }
    link->Release();
  }
  if (SUCCEEDED(com)) CoUninitialize();
  return contents;
}

}  // namespace link_reader

#endif  // SETUP_TESTS_COMMON_SHELL_LINK_READER_H_
