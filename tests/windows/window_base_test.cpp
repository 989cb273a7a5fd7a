#include <gtest/gtest.h>
#include <windows.h>

#include <stdexcept>
#include <vector>

#include "core/error.h"
#include "ui/components/message_boxes.h"
#include "ui/components/subclass.h"
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

// A decoration that notes which messages it saw; the one with id 2 leaves
// while it handles WM_APP.
LRESULT CALLBACK notingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id, DWORD_PTR data) {
  if (message == WM_APP) {
    reinterpret_cast<std::vector<int>*>(data)->push_back(static_cast<int>(id));
    if (id == 2) removeSubclass(window, &notingProc, id);
  }
  return nextSubclassProc(window, message, wParam, lParam);
}

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

// Two decorations of one control, as a skin and an accessible name are: the
// last one added sees a message first, one may leave while it handles a
// message, and with the last one gone the control is its own again.
TEST(WindowEdgeTest, DecorationsOfAControlRunInOrderAndLeaveCleanly) {
  const HWND edit = CreateWindowExW(0, L"EDIT", L"", WS_POPUP, 0, 0, 100, 20, nullptr, nullptr, nullptr, nullptr);
  const LONG_PTR own = GetWindowLongPtrW(edit, GWLP_WNDPROC);
  std::vector<int> seen;
  ASSERT_TRUE(addSubclass(edit, &notingProc, 1, reinterpret_cast<DWORD_PTR>(&seen)));
  ASSERT_TRUE(addSubclass(edit, &notingProc, 2, reinterpret_cast<DWORD_PTR>(&seen)));
  SendMessageW(edit, WM_APP, 0, 0);
  SendMessageW(edit, WM_APP, 0, 0);
  EXPECT_EQ(seen, (std::vector<int>{2, 1, 1}));
  // The control itself still answers through the chain.
  SetWindowTextW(edit, L"12:00:00");
  wchar_t text[16] = L"";
  GetWindowTextW(edit, text, 16);
  EXPECT_STREQ(text, L"12:00:00");
  EXPECT_TRUE(removeSubclass(edit, &notingProc, 1));
  EXPECT_FALSE(removeSubclass(edit, &notingProc, 1));
  EXPECT_EQ(GetWindowLongPtrW(edit, GWLP_WNDPROC), own);
  DestroyWindow(edit);
}
