#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <stdexcept>
#include <vector>

#include "core/error.h"
#include "ui/Unit1.h"
#include "ui/components/message_boxes.h"

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

TEST(MainWindowTest, StartsWithItsCaptionSizeAndStatusClock) {
  TForm1 form;
  ASSERT_TRUE(IsWindow(form.handle()));
  wchar_t caption[64];
  GetWindowTextW(form.handle(), caption, 64);
  EXPECT_STREQ(caption, L"MirolanHoravel");
  RECT r;
  GetWindowRect(form.handle(), &r);
  EXPECT_EQ(r.left, 198);
  EXPECT_EQ(r.top, 113);
  EXPECT_EQ(r.right - r.left, 696);
  EXPECT_EQ(r.bottom - r.top, 480);
  ASSERT_TRUE(IsWindow(form.StatusBar1));
  int parts[4] = {};
  EXPECT_EQ(SendMessageW(form.StatusBar1, SB_GETPARTS, 4, reinterpret_cast<LPARAM>(parts)), 2);
  EXPECT_EQ(parts[0], 100);
  // Empty until the first pass.
  EXPECT_EQ(LOWORD(SendMessageW(form.StatusBar1, SB_GETTEXTLENGTHW, 0, 0)), 0);
}
