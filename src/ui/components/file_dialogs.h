#pragma once
// The open and save dialogs of the main window (OpenDialog1, SaveDialog1).
// Each remembers the name chosen last and proposes it the next time. Every
// run goes through here, so tests can choose the file name.

#include <windows.h>
#include <commdlg.h>

#include <filesystem>
#include <functional>
#include <optional>
#include <string>

enum class FileDialogKind { Open, Save };

// The system's open and save dialogs (GetOpenFileNameW, GetSaveFileNameW).
// Their library is loaded the first time one is shown: a resident program
// that seldom shows one does not carry it from the start. FALSE, as the
// system's, when cancelled or when the library is missing. Under Wine the
// name box takes no name that would make the path longer than MAX_PATH.
BOOL showSystemFileDialog(FileDialogKind kind, OPENFILENAMEW& request);

struct FileDialogRequest {
  FileDialogKind kind;
  HWND owner;
  std::wstring proposedName;  // the name chosen last, or empty
  std::wstring filter;        // "description|pattern", as the dialog lists it
};

// While set, no dialog is shown: the hook gets the request and gives the
// chosen name, or nothing for a cancelled dialog.
using FileDialogHook = std::function<std::optional<std::wstring>(const FileDialogRequest&)>;
void setFileDialogHook(FileDialogHook hook);

class FileDialog {
 public:
  // filter: pairs of description and pattern, separated by '|'.
  FileDialog(FileDialogKind kind, std::wstring filter) : kind_(kind), filter_(std::move(filter)) {}

  // Runs the dialog. True when a name was chosen; it is then FileName.
  // The open dialog also gives the name of a file that does not exist, and
  // the save dialog does not ask before replacing one; no extension is
  // added.
  bool Execute(HWND owner);

  std::filesystem::path FileName;

 private:
  FileDialogKind kind_;
  std::wstring filter_;
};
