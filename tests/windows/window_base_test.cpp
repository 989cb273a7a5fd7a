#include <gtest/gtest.h>
#include <windows.h>

#include <stdexcept>
#include <vector>

#include "core/error.h"
#include "ui/components/message_boxes.h"
#include "ui/components/window.h"

namespace {

// Collects every message box instead of showing it.
class MessageBoxRecorder {
 public:
  MessageBoxRecorder() {
    setMessageBoxHook([this](const MessageBoxRequest& request) {
      shown.push_back(request);
      return IDOK;
    });
  }
  ~MessageBoxRecorder() { setMessageBoxHook(nullptr); }
  std::vector<MessageBoxRequest> shown;
};

// A window whose handler fails, as a command does on a file or registry fault.
class FailingWindow final : public Window {
 public:
  FailingWindow() {
    CreateParams params;
    params.className = L"HoravelFailingWindow";
    params.style = WS_OVERLAPPEDWINDOW;
    createWindow(params);
  }
  int handled = 0;

 protected:
  LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam) override {
    if (message == WM_APP) {
      ++handled;
      throw HoravelError("无法打开文件");
    }
    if (message == WM_APP + 1) throw std::runtime_error("Failed to set data for 'Horavel'");
    return Window::handleMessage(message, wParam, lParam);
  }
};

}  // namespace

TEST(WindowEdgeTest, AFailingHandlerShowsTheStandardErrorBoxAndTheWindowLivesOn) {
  MessageBoxRecorder boxes;
  FailingWindow window;
  SendMessageW(window.handle(), WM_APP, 0, 0);
  SendMessageW(window.handle(), WM_APP + 1, 0, 0);
  SendMessageW(window.handle(), WM_APP, 0, 0);
  ASSERT_EQ(boxes.shown.size(), 3u);
  EXPECT_EQ(boxes.shown[0].text, L"无法打开文件.");
  EXPECT_EQ(boxes.shown[0].caption, L"Horavel");
  EXPECT_EQ(boxes.shown[0].type, static_cast<UINT>(MB_OK | MB_ICONSTOP));
  EXPECT_EQ(boxes.shown[1].text, L"Failed to set data for 'Horavel'");
  EXPECT_EQ(window.handled, 2);
  EXPECT_TRUE(IsWindow(window.handle()));
}
