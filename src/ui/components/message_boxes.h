#pragma once
// Every message box of the program goes through here, so tests can answer
// questions and read what was shown.

#include <windows.h>

#include <functional>
#include <string>

struct MessageBoxRequest {
  HWND owner;
  std::wstring text;
  std::wstring caption;
  UINT type;
};

// While set, message boxes are not shown: the hook gets the request and its
// result (IDYES, IDNO, IDOK) is the answer.
using MessageBoxHook = std::function<int(const MessageBoxRequest&)>;
void setMessageBoxHook(MessageBoxHook hook);

int showMessageBox(const MessageBoxRequest& request);

// A question with Yes and No and no icon; true on Yes.
bool askYesNo(HWND owner, const std::wstring& text, const std::wstring& caption);
// A plain notice: OK, no icon, title "Horavel".
void showNotice(HWND owner, const std::wstring& text);

// The standard error box: stop icon, OK, title "Horavel", the message (code
// page 936) with the full-stop rule.
void showErrorBox(const std::string& message);
