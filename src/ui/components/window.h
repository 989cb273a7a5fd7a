#pragma once
// Ties an HWND to its C++ object and routes the window's messages to it.
// Commands (menu items, buttons, accelerators, side-bar items) are bound to
// handlers by id in one table per window. A fault that escapes a handler
// stops at this edge: the standard error box shows it and the program goes on.

#include <windows.h>

#include <functional>
#include <map>

class Window {
 public:
  Window() = default;
  Window(const Window&) = delete;
  Window& operator=(const Window&) = delete;
  virtual ~Window();

  HWND handle() const { return hwnd_; }

  // Runs the handler bound to a command id, as a click on its control does.
  // False when nothing is bound to it.
  bool runCommand(int id);

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
    COLORREF background = CLR_INVALID;  // CLR_INVALID: the system's button face
  };
  // Registers the class on first use and creates the window.
  void createWindow(const CreateParams& params);

  // Binds a command id (WM_COMMAND from a menu, accelerator, button or side
  // bar) to its handler.
  void bindCommand(int id, std::function<void()> handler);

  // The window's messages. The default runs bound commands and passes the
  // rest to DefWindowProc.
  virtual LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam);

  // Layout sizes are pixels at 96 dpi; this scales them to the window's dpi.
  int scale(int pixels96) const;
  UINT dpi() const { return dpiOf(hwnd_); }
  // A top-level window's dpi as the last WM_DPICHANGED gave it.
  void recordDpi(UINT dpi) { recordedDpi_ = dpi; }

 public:
  // The dpi a window lays itself out for: its top-level window's, as the
  // last WM_DPICHANGED gave it (recordDpi), or the system's until then.
  // Kept in the window's object: layouts and paints ask for it often, and
  // a window property would cost a call to the window server each time.
  static UINT dpiOf(HWND window);

 private:
  static LRESULT CALLBACK windowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  // The object of a window made by createWindow, else null.
  static const Window* fromHandle(HWND window);
  HWND hwnd_ = nullptr;
  UINT recordedDpi_ = 0;
  std::map<int, std::function<void()>> commands_;
};
