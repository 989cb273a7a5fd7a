#pragma once
// Ties an HWND to its C++ object and routes the window's messages to it.
// A fault that escapes a handler stops at this edge: the standard error box
// shows it and the program goes on.

#include <windows.h>

class Window {
 public:
  Window() = default;
  Window(const Window&) = delete;
  Window& operator=(const Window&) = delete;
  virtual ~Window();

  HWND handle() const { return hwnd_; }

 protected:
  struct CreateParams {
    const wchar_t* className = nullptr;
    const wchar_t* caption = L"";
    DWORD style = WS_OVERLAPPEDWINDOW;
    DWORD exStyle = 0;
    int x = CW_USEDEFAULT, y = CW_USEDEFAULT, width = CW_USEDEFAULT, height = CW_USEDEFAULT;
    HWND owner = nullptr;
    HMENU menu = nullptr;
    HICON icon = nullptr;
  };
  // Registers the class on first use and creates the window.
  void createWindow(const CreateParams& params);

  // The window's messages; the default passes them to DefWindowProc.
  virtual LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam);

 private:
  static LRESULT CALLBACK windowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  HWND hwnd_ = nullptr;
};
