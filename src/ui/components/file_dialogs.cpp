#include "ui/components/file_dialogs.h"

#include <algorithm>
#include <utility>
#include <vector>

#include "platform/system_folder.h"

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

}  // namespace

BOOL showSystemFileDialog(FileDialogKind kind, OPENFILENAMEW& request) {
  const CommonDialog dialog = commonDialog(kind);
  return dialog ? dialog(&request) : FALSE;
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
