#include "ui/components/file_dialogs.h"

#include <dlgs.h>

#include <algorithm>
#include <utility>
#include <vector>

#include "platform/system_folder.h"
#include "platform/under_wine.h"

namespace {

FileDialogHook& hook() {
  static FileDialogHook current;
  return current;
}

// "a|b|c|d" as the common dialogs want it: "a\0b\0c\0d\0\0".
std::wstring filterList(const std::wstring& filter) {
  std::wstring list = filter;
  for (wchar_t& c : list) {
    if (c == L'|') c = L'\0';
  }
  list.push_back(L'\0');
  list.push_back(L'\0');
  return list;
}

using CommonDialog = BOOL(WINAPI*)(OPENFILENAMEW*);

CommonDialog commonDialog(FileDialogKind kind) {
  static const HMODULE library = loadSystemLibrary(L"comdlg32.dll");
  if (!library) return nullptr;
  const FARPROC found = GetProcAddress(library, kind == FileDialogKind::Open ? "GetOpenFileNameW" : "GetSaveFileNameW");
  return reinterpret_cast<CommonDialog>(reinterpret_cast<void*>(found));
}

// Wine's dialog joins its folder and the typed name in buffers of MAX_PATH
// characters without looking at their length: a longer path overruns them,
// and the dialog crashes a step later (docs/wine-notes.md). There the name
// box takes only what the folder leaves room for.
UINT_PTR CALLBACK limitNameToPath(HWND child, UINT message, WPARAM, LPARAM lParam) {
  if (message != WM_NOTIFY) return 0;
  const UINT code = reinterpret_cast<const NMHDR*>(lParam)->code;
  if (code != CDN_INITDONE && code != CDN_FOLDERCHANGE) return 0;
  const HWND dialog = GetParent(child);
  wchar_t folder[MAX_PATH] = L"";
  // The folder's length with its end, for the backslash between; a folder
  // with no path of its own (My Computer) is joined to the current one.
  LRESULT used = SendMessageW(dialog, CDM_GETFOLDERPATH, MAX_PATH, reinterpret_cast<LPARAM>(folder));
  if (used <= 0) used = static_cast<LRESULT>(GetCurrentDirectoryW(MAX_PATH, folder)) + 1;
  const int room = std::max<int>(1, MAX_PATH - 1 - static_cast<int>(used));
  // The edit inside the name box (a ComboBoxEx under Wine).
  HWND edit = GetDlgItem(dialog, edt1);
  if (const HWND box = GetDlgItem(dialog, cmb13)) {
    EnumChildWindows(
        box,
        [](HWND window, LPARAM found) {
          wchar_t name[8] = L"";
          GetClassNameW(window, name, 8);
          if (lstrcmpiW(name, L"Edit") != 0) return TRUE;
          *reinterpret_cast<HWND*>(found) = window;
          return FALSE;
        },
        reinterpret_cast<LPARAM>(&edit));
  }
  if (edit) SendMessageW(edit, EM_LIMITTEXT, static_cast<WPARAM>(room), 0);
  return 0;
}

}  // namespace

BOOL showSystemFileDialog(FileDialogKind kind, OPENFILENAMEW& request) {
  const CommonDialog dialog = commonDialog(kind);
  if (!dialog) return FALSE;
  // Only under Wine: on Windows a hook brings back the old-style dialog.
  if (runningUnderWine() && !(request.Flags & OFN_ENABLEHOOK)) {
    request.Flags |= OFN_ENABLEHOOK;
    request.lpfnHook = &limitNameToPath;
  }
  return dialog(&request);
}

void setFileDialogHook(FileDialogHook newHook) { hook() = std::move(newHook); }

bool FileDialog::Execute(HWND owner) {
  const std::wstring proposed = FileName.wstring();
  if (hook()) {
    const std::optional<std::wstring> chosen = hook()({kind_, owner, proposed, filter_});
    if (!chosen) return false;
    FileName = *chosen;
    return true;
  }

  // Room for the longest path Windows takes.
  std::vector<wchar_t> name(32768, L'\0');
  proposed.copy(name.data(), std::min(proposed.size(), name.size() - 1));
  const std::wstring filter = filterList(filter_);
  OPENFILENAMEW ofn{};
  ofn.lStructSize = sizeof ofn;
  ofn.hwndOwner = owner;
  ofn.lpstrFilter = filter.c_str();
  ofn.nFilterIndex = 1;
  ofn.lpstrFile = name.data();
  ofn.nMaxFile = static_cast<DWORD>(name.size());
  ofn.Flags = OFN_EXPLORER | OFN_HIDEREADONLY | OFN_ENABLESIZING | OFN_NOCHANGEDIR;
  if (!showSystemFileDialog(kind_, ofn)) return false;
  FileName = name.data();
  return true;
}
