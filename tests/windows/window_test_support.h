#pragma once
// What the window tests share: a stand-in owner for dialogs, answering
// message boxes, running code inside a modal loop, reading a control's text
// and what screen readers read.

#include <windows.h>
#include <commctrl.h>
#include <oleacc.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "ui/components/message_boxes.h"
#include "ui/components/window.h"

// Answers every message box with a fixed answer and keeps what was asked.
class Answers {
 public:
  explicit Answers(int answer) {
    setMessageBoxHook([this, answer](const MessageBoxRequest& request) {
      asked.push_back(request);
      return answer;
    });
  }
  ~Answers() { setMessageBoxHook(nullptr); }
  Answers(const Answers&) = delete;
  Answers& operator=(const Answers&) = delete;
  std::vector<MessageBoxRequest> asked;
};

// The main window's stand-in: a plain visible window the dialogs belong to.
// One for the whole run (under Wine hiding a shown window takes seconds).
class OwnerWindow final : public Window {
 public:
  OwnerWindow() {
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES | ICC_DATE_CLASSES};
    InitCommonControlsEx(&controls);
    CreateParams params;
    params.className = L"HoravelTestOwner";
    params.caption = L"owner";
    params.x = 150;
    params.y = 90;
    params.width = 696;
    params.height = 480;
    createWindow(params);
    ShowWindow(handle(), SW_SHOWNA);
  }
};

inline HWND theOwner() {
  static OwnerWindow* const owner = new OwnerWindow;  // lives until the process ends
  return owner->handle();
}

// Runs code from inside the next modal loop: posted steps run in order once
// the loop looks for messages.
class Probe final : public Window {
 public:
  Probe() {
    CreateParams params;
    params.className = L"HoravelTestProbe";
    params.style = WS_POPUP;
    createWindow(params);
  }
  void post(std::function<void()> step) {
    steps_.push_back(std::move(step));
    PostMessageW(handle(), WM_APP, 0, 0);
  }

 protected:
  LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam) override {
    if (message == WM_APP && !steps_.empty()) {
      auto step = steps_.front();
      steps_.erase(steps_.begin());
      step();
      return 0;
    }
    return Window::handleMessage(message, wParam, lParam);
  }

 private:
  std::vector<std::function<void()>> steps_;
};

inline std::wstring textOf(HWND window) {
  const int length = GetWindowTextLengthW(window);
  std::wstring text(static_cast<size_t>(length) + 1, L'\0');
  GetWindowTextW(window, text.data(), length + 1);
  text.resize(static_cast<size_t>(length));
  return text;
}

// Reads a window through the accessibility interface, as a screen reader does.
struct Accessible {
  explicit Accessible(HWND window) {
    CoInitialize(nullptr);
    AccessibleObjectFromWindow(window, static_cast<DWORD>(OBJID_CLIENT), __uuidof(IAccessible),
                               reinterpret_cast<void**>(&object));
  }
  ~Accessible() {
    if (object) object->Release();
    CoUninitialize();
  }
  static VARIANT child(long id) {
    VARIANT v;
    VariantInit(&v);
    v.vt = VT_I4;
    v.lVal = id;
    return v;
  }
  std::wstring name(long id) const { return text(&IAccessible::get_accName, id); }
  std::wstring action(long id) const { return text(&IAccessible::get_accDefaultAction, id); }
  long role(long id) const { return number(&IAccessible::get_accRole, id); }
  long state(long id) const { return number(&IAccessible::get_accState, id); }
  long count() const {
    long n = -1;
    object->get_accChildCount(&n);
    return n;
  }
  RECT location(long id) const {
    long x = 0, y = 0, w = 0, h = 0;
    object->accLocation(&x, &y, &w, &h, child(id));
    return RECT{x, y, x + w, y + h};
  }
  // The children AccessibleChildren lists: objects' names, elements' ids.
  std::vector<std::wstring> childNames() const {
    std::vector<VARIANT> children(static_cast<size_t>(count()));
    LONG got = 0;
    AccessibleChildren(object, 0, static_cast<LONG>(children.size()), children.data(), &got);
    std::vector<std::wstring> names;
    for (LONG i = 0; i < got; ++i) {
      if (children[i].vt == VT_DISPATCH) {
        IAccessible* part = nullptr;
        children[i].pdispVal->QueryInterface(__uuidof(IAccessible), reinterpret_cast<void**>(&part));
        BSTR n = nullptr;
        if (part && part->get_accName(child(CHILDID_SELF), &n) == S_OK) names.emplace_back(n, SysStringLen(n));
        SysFreeString(n);
        if (part) part->Release();
      } else {
        names.push_back(name(children[i].lVal));
      }
      VariantClear(&children[i]);
    }
    return names;
  }

  IAccessible* object = nullptr;

 private:
  std::wstring text(HRESULT (STDMETHODCALLTYPE IAccessible::*get)(VARIANT, BSTR*), long id) const {
    BSTR value = nullptr;
    if ((object->*get)(child(id), &value) != S_OK || !value) return L"";
    std::wstring out(value, SysStringLen(value));
    SysFreeString(value);
    return out;
  }
  long number(HRESULT (STDMETHODCALLTYPE IAccessible::*get)(VARIANT, VARIANT*), long id) const {
    VARIANT value;
    VariantInit(&value);
    if ((object->*get)(child(id), &value) != S_OK || value.vt != VT_I4) return -1;
    return value.lVal;
  }
};

// What Windows sends a top-level window moved to a monitor of another dpi.
inline void changeDpi(HWND window, UINT dpi) {
  RECT r;
  GetWindowRect(window, &r);
  const int was = static_cast<int>(Window::dpiOf(window));
  RECT suggested{r.left, r.top, r.left + MulDiv(r.right - r.left, static_cast<int>(dpi), was),
                 r.top + MulDiv(r.bottom - r.top, static_cast<int>(dpi), was)};
  SendMessageW(window, WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&suggested));
}

// A control for failure messages: its class and id.
inline std::string describe(HWND control) {
  char name[64] = "";
  GetClassNameA(control, name, 64);
  return std::string(name) + " #" + std::to_string(GetDlgCtrlID(control));
}

// Every shown control lies whole inside its parent's client area and no two
// shown siblings overlap (a group box frames its siblings and is left out of
// that), all the way down to the standard controls.
inline void expectTidyLayout(HWND parent) {
  const auto shown = [](HWND w) { return (GetWindowLongPtrW(w, GWL_STYLE) & WS_VISIBLE) != 0; };
  const auto isGroupBox = [](HWND w) {
    wchar_t name[16] = L"";
    GetClassNameW(w, name, 16);
    return lstrcmpiW(name, L"Button") == 0 && (GetWindowLongPtrW(w, GWL_STYLE) & BS_TYPEMASK) == BS_GROUPBOX;
  };
  RECT client;
  GetClientRect(parent, &client);
  MapWindowPoints(parent, nullptr, reinterpret_cast<POINT*>(&client), 2);
  std::vector<std::pair<HWND, RECT>> children;
  for (HWND child = GetWindow(parent, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    if (!shown(child)) continue;
    RECT r;
    GetWindowRect(child, &r);
    const std::string name = describe(child);
    EXPECT_FALSE(IsRectEmpty(&r)) << name;
    EXPECT_TRUE(r.left >= client.left && r.top >= client.top && r.right <= client.right && r.bottom <= client.bottom)
        << name << " (" << r.left << "," << r.top << ")-(" << r.right << "," << r.bottom << ") outside ("
        << client.left << "," << client.top << ")-(" << client.right << "," << client.bottom << ")";
    if (!isGroupBox(child)) children.emplace_back(child, r);
    // The insides of the standard controls are theirs to arrange.
    char className[64] = "";
    GetClassNameA(child, className, 64);
    const std::string kind = className;
    if (kind != "SysDateTimePick32" && kind != "ComboBox" && kind != "SysListView32") expectTidyLayout(child);
  }
  for (size_t i = 0; i < children.size(); ++i) {
    for (size_t j = i + 1; j < children.size(); ++j) {
      RECT overlap;
      EXPECT_FALSE(IntersectRect(&overlap, &children[i].second, &children[j].second))
          << describe(children[i].first) << " and " << describe(children[j].first) << " in " << describe(parent);
    }
  }
}
