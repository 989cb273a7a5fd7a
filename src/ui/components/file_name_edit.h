#pragma once
// An edit for a file name with a small browse button at its right. The
// button opens a file-open dialog; the chosen path is written into the edit,
// in double quotes when it holds a blank, so that reading the edit's file
// name gives the whole path back.
//
// The owner reads fileName(), not the raw text: the whole text when it names
// an existing file, otherwise the first item of the text read as a command
// line (so "c:\a b\x.exe" /s gives c:\a b\x.exe, and c:\a b.exe gives c:\a).

#include <windows.h>

#include <functional>
#include <optional>
#include <string>

#include "ui/components/window.h"

// The first item of a command line: leading blanks and control characters
// are skipped, the item ends at the first blank outside double quotes, and a
// quoted part keeps its blanks but loses its quotes.
std::wstring firstCommandLineItem(const std::wstring& text);
// The file name a text stands for, as FileNameEdit::fileName reads it.
std::wstring fileNameOfText(const std::wstring& text);
// True when the file name leaves part of the text out: a text that names
// no existing file and holds more than its first item (a path with a blank
// and no quotes, say, or arguments after it).
bool fileNameCutsText(const std::wstring& text);
// A path as the browse button writes it: quoted when it holds a blank.
std::wstring quotedWhenBlank(const std::wstring& path);

// What the browse button asks for; filter is in the "text|pattern|..." form.
struct BrowseRequest {
  HWND owner;
  std::wstring title;
  std::wstring filter;
  std::wstring initialText;
};
// While set, the file dialog is not shown: the hook gets the request and
// its answer is the chosen path (nullopt: cancelled). For tests.
using BrowseHook = std::function<std::optional<std::wstring>(const BrowseRequest&)>;
void setBrowseHook(BrowseHook hook);

class FileNameEdit final : public Window {
 public:
  // Position and sizes are the parent's pixels; buttonWidth is the browse
  // button's width inside the given width, in pixels at 96 dpi.
  FileNameEdit(HWND parent, int x, int y, int width, int height, std::wstring filter, int buttonWidth = 21);

  HWND edit() const { return edit_; }
  HWND button() const { return button_; }
  const std::wstring& filter() const { return filter_; }

  std::wstring text() const;
  void setText(const std::wstring& text);
  std::wstring fileName() const { return fileNameOfText(text()); }

  // What the browse button does: the file-open dialog titled "Browse".
  void browse();

 protected:
  LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  void layout();

  std::wstring filter_;
  int buttonWidth96_;
  HWND edit_ = nullptr;
  HWND button_ = nullptr;
};
