#pragma once
// What the window tests share: answering message boxes, running code inside
// a modal loop, reading a control's text and what screen readers read.

#include <windows.h>
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
