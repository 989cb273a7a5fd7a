#include "ui/components/file_name_edit.h"


#include <algorithm>
#include <utility>
#include <vector>

#include "ui/components/accessible.h"
#include "ui/components/file_dialogs.h"

namespace {

constexpr int kBrowseButtonId = 11;  // not IDOK: Return must never read as the dialog's OK
constexpr int kEditId = 2;

BrowseHook& browseHook() {
  static BrowseHook hook;
  return hook;
}

bool namesExistingFile(const std::wstring& text) {
  if (text.empty()) return false;
  const DWORD attributes = GetFileAttributesW(text.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// "text|pattern|text|pattern" as the file dialog wants it: parts ended by
// NUL, the list by a second NUL.
std::vector<wchar_t> dialogFilter(const std::wstring& filter) {
  std::vector<wchar_t> out(filter.begin(), filter.end());
  for (wchar_t& c : out) {
    if (c == L'|') c = L'\0';
  }
  out.push_back(L'\0');
  out.push_back(L'\0');
  return out;
}

std::optional<std::wstring> showOpenDialog(const BrowseRequest& request) {
  std::vector<wchar_t> file(32768, L'\0');
  const std::vector<wchar_t> filter = dialogFilter(request.filter);
  // Start in the folder of the file the edit names, when it names one.
  std::wstring folder;
  const std::wstring current = fileNameOfText(request.initialText);
  if (namesExistingFile(current)) {
    const size_t slash = current.find_last_of(L"\\/");
    if (slash != std::wstring::npos) folder = current.substr(0, slash);
  }
  OPENFILENAMEW dialog{};
  dialog.lStructSize = sizeof dialog;
  dialog.hwndOwner = request.owner;
  dialog.lpstrFilter = filter.data();
  dialog.nFilterIndex = 1;
  dialog.lpstrFile = file.data();
  dialog.nMaxFile = static_cast<DWORD>(file.size());
  dialog.lpstrInitialDir = folder.empty() ? nullptr : folder.c_str();
  dialog.lpstrTitle = request.title.c_str();
  dialog.Flags = OFN_EXPLORER | OFN_HIDEREADONLY | OFN_PATHMUSTEXIST | OFN_FILEMUSTEXIST | OFN_NOCHANGEDIR;
  if (!showSystemFileDialog(FileDialogKind::Open, dialog)) return std::nullopt;
  return std::wstring(file.data());
}

}  // namespace

namespace {

// The first item of a command line, and where in the text it ends.
std::wstring firstItem(const std::wstring& text, size_t& end) {
  size_t i = 0;
  while (i < text.size() && text[i] <= L' ') ++i;
  std::wstring item;
  bool quoted = false;
  for (; i < text.size(); ++i) {
    const wchar_t c = text[i];
    if (c == L'"') {
      quoted = !quoted;
    } else if (c <= L' ' && !quoted) {
      break;
    } else {
      item += c;
    }
  }
  end = i;
  return item;
}

}  // namespace

std::wstring firstCommandLineItem(const std::wstring& text) {
  size_t end = 0;
  return firstItem(text, end);
}

bool fileNameCutsText(const std::wstring& text) {
  if (namesExistingFile(text)) return false;
  size_t end = 0;
  firstItem(text, end);
  for (; end < text.size(); ++end) {
    if (text[end] > L' ') return true;
  }
  return false;
}

std::wstring fileNameOfText(const std::wstring& text) {
  if (namesExistingFile(text)) return text;
  return firstCommandLineItem(text);
}

std::wstring quotedWhenBlank(const std::wstring& path) {
  if (path.find(L' ') == std::wstring::npos) return path;
  return L"\"" + path + L"\"";
}

void setBrowseHook(BrowseHook hook) { browseHook() = std::move(hook); }

FileNameEdit::FileNameEdit(HWND parent, int x, int y, int width, int height, std::wstring filter, int buttonWidth)
    : filter_(std::move(filter)), buttonWidth96_(buttonWidth) {
  CreateParams params;
  params.className = L"HoravelFileNameEdit";
  params.style = WS_CHILD | WS_VISIBLE | WS_TABSTOP;
  params.exStyle = WS_EX_CONTROLPARENT;
  params.x = x;
  params.y = y;
  params.width = width;
  params.height = height;
  params.owner = parent;
  createWindow(params);
  const HINSTANCE instance = GetModuleHandleW(nullptr);
  edit_ = CreateWindowExW(WS_EX_CLIENTEDGE, L"EDIT", L"", WS_CHILD | WS_VISIBLE | WS_TABSTOP | ES_AUTOHSCROLL, 0, 0,
                          0, 0, handle(), reinterpret_cast<HMENU>(static_cast<INT_PTR>(kEditId)), instance, nullptr);
  button_ = CreateWindowExW(0, L"BUTTON", L"...", WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, 0, 0, 0, 0,
                            handle(), reinterpret_cast<HMENU>(static_cast<INT_PTR>(kBrowseButtonId)), instance,
                            nullptr);
  bindCommand(kBrowseButtonId, [this] { browse(); });
  // Its caption "..." says nothing when read aloud.
  describeWindow(button_, L"浏览", ROLE_SYSTEM_PUSHBUTTON, L"按");
  layout();
}

std::wstring FileNameEdit::text() const {
  const int length = GetWindowTextLengthW(edit_);
  std::wstring text(static_cast<size_t>(length) + 1, L'\0');
  text.resize(static_cast<size_t>(GetWindowTextW(edit_, text.data(), length + 1)));
  return text;
}

void FileNameEdit::setText(const std::wstring& text) { SetWindowTextW(edit_, text.c_str()); }

void FileNameEdit::browse() {
  const BrowseRequest request{GetAncestor(handle(), GA_ROOT), L"Browse", filter_, text()};
  const std::optional<std::wstring> chosen = browseHook() ? browseHook()(request) : showOpenDialog(request);
  if (chosen && !chosen->empty()) setText(quotedWhenBlank(*chosen));
}

void FileNameEdit::layout() {
  RECT client;
  GetClientRect(handle(), &client);
  const int button = std::min<int>(scale(buttonWidth96_), client.right);
  MoveWindow(edit_, 0, 0, client.right - button, client.bottom, TRUE);
  MoveWindow(button_, client.right - button, 0, button, client.bottom, TRUE);
}

LRESULT FileNameEdit::handleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_SIZE:
      if (edit_) layout();
      return 0;
    case WM_SETFONT:
      if (edit_) SendMessageW(edit_, WM_SETFONT, wParam, lParam);
      if (button_) SendMessageW(button_, WM_SETFONT, wParam, lParam);
      return 0;
    case WM_SETFOCUS:
      SetFocus(edit_);
      return 0;
    default:
      return Window::handleMessage(message, wParam, lParam);
  }
}
