#pragma once
// What the window tests share: answering message boxes, running code inside
// a modal loop, reading a control's text.

#include <windows.h>

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
