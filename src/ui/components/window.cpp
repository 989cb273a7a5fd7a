#include "ui/components/window.h"

#include <exception>
#include <utility>

#include "ui/components/message_boxes.h"

Window::~Window() {
  if (hwnd_) {
    SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
    DestroyWindow(hwnd_);
  }
}

void Window::createWindow(const CreateParams& params) {
  const HINSTANCE instance = GetModuleHandleW(nullptr);
  WNDCLASSEXW wc{};
  if (!GetClassInfoExW(instance, params.className, &wc)) {
    wc = {};
    wc.cbSize = sizeof wc;
    wc.style = CS_DBLCLKS;
    wc.lpfnWndProc = &Window::windowProc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = params.background == CLR_INVALID ? reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1)
                                                         : CreateSolidBrush(params.background);
    wc.lpszClassName = params.className;
    wc.hIcon = params.icon;
    wc.hIconSm = params.icon;
    RegisterClassExW(&wc);
  }
  CreateWindowExW(params.exStyle, params.className, params.caption, params.style, params.x, params.y, params.width,
                  params.height, params.owner, params.menu, instance, this);
}

void Window::bindCommand(int id, std::function<void()> handler) { commands_[id] = std::move(handler); }

bool Window::runCommand(int id) {
  const auto found = commands_.find(id);
  if (found == commands_.end()) return false;
  // A copy: the handler may rebind commands while it runs.
  const std::function<void()> handler = found->second;
  handler();
  return true;
}

const Window* Window::fromHandle(HWND window) {
  // The class's procedure, not the window's: a subclassed window has another.
  if (reinterpret_cast<WNDPROC>(GetClassLongPtrW(window, GCLP_WNDPROC)) != &Window::windowProc) return nullptr;
  return reinterpret_cast<const Window*>(GetWindowLongPtrW(window, GWLP_USERDATA));
}

UINT Window::dpiOf(HWND window) {
  if (!window) return 96;
  const HWND root = GetAncestor(window, GA_ROOT);
  const Window* top = fromHandle(root ? root : window);
  if (top && top->recordedDpi_) return top->recordedDpi_;
  const UINT system = GetDpiForWindow(window);
  return system == 0 ? 96 : system;
}

int Window::scale(int pixels96) const { return MulDiv(pixels96, static_cast<int>(dpi()), 96); }

LRESULT Window::handleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_COMMAND && runCommand(LOWORD(wParam))) return 0;
  return DefWindowProcW(hwnd_, message, wParam, lParam);
}

LRESULT CALLBACK Window::windowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* self = static_cast<Window*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
    self->hwnd_ = hwnd;
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
  }
  auto* self = reinterpret_cast<Window*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (!self) return DefWindowProcW(hwnd, message, wParam, lParam);
  if (message == WM_NCDESTROY) {
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
    self->hwnd_ = nullptr;
    return DefWindowProcW(hwnd, message, wParam, lParam);
  }
  try {
    return self->handleMessage(message, wParam, lParam);
  } catch (const std::exception& error) {
    showErrorBox(error.what());
    return 0;
  }
}
