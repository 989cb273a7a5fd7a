#include "ui/components/file_dialogs.h"

#include <commdlg.h>

#include <algorithm>
#include <utility>
#include <vector>

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

}  // namespace

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
  const BOOL chosen = kind_ == FileDialogKind::Open ? GetOpenFileNameW(&ofn) : GetSaveFileNameW(&ofn);
  if (!chosen) return false;
  FileName = name.data();
  return true;
}
