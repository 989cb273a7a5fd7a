#pragma once
// The reminder popup: a borderless, translucent window shaped by its
// picture, in the lower right corner of the work area (above the taskbar)
// of the main window's monitor, that shows a reminder's message and closes
// itself after counting down ten seconds. It is topmost from its first
// showing and never takes the keyboard focus from what the user types into.
//
// One instance lives for the whole run. Its picture and labels are drawn by
// the window itself: fuchsia is the see-through colour, so whatever is not
// picture lets the desktop through, and the whole window is drawn at
// opacity 200 of 255. The window ends where the picture's card ends, so the
// card sits in the corner itself.

#include <windows.h>

#include <string>
#include <string_view>
#include <vector>

#include "platform/platform_mission_actions.h"
#include "ui/components/form.h"

class TfrmTishi final : public Form, public ReminderPopup {
 public:
  // Created hidden and owned by mainWindow; placed in the corner of its
  // monitor at every showing (and after a dpi change). Without a main
  // window, the primary monitor.
  explicit TfrmTishi(HWND mainWindow = nullptr);
  ~TfrmTishi() override;

  static constexpr UINT_PTR kTimer1 = 1;  // the countdown timer's id
  static constexpr int kCountdownSeconds = 10;

  // ReminderPopup: the message is code page 936.
  void setMessage(const std::string& cp936) override;
  void showModal() override;
  WindowHandle window() const override { return handle(); }

  // The controls, in z-order from the bottom. Bounds are client pixels at
  // the window's dpi; the window alone changes them.
  struct Picture {
    RECT bounds{};
    HBITMAP bitmap = nullptr;
    SIZE size{};  // of the bitmap
  };
  struct Label {
    RECT bounds{};
    std::wstring caption;
  };
  Picture Image1;
  Label Label1;  // the message: word-wrapped at its width, cut at its height
  Label Label2;  // "距离关闭的秒数:"
  Label lbNum;   // seconds left; its width follows the text

  // Countdown steps taken since the popup was last shown (0 to 10).
  int elapsed() const { return elapsed_; }
  bool timerRunning() const { return timerRunning_; }

  // The message's lines as Label1 shows them (the last may be cut at its
  // bottom edge; wrapping stops there), and the height of one line.
  std::vector<std::wstring> messageLines() const;
  int lineHeight() const;
  // The labels' font.
  using Form::font;

  void Timer1Timer();
  // Bound to a double-click on Image1 and on Label1.
  void Image1DblClick();

 protected:
  LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
  void FormShow() override;
  // The artwork drawn for the window's dpi, in the look's colours: its blue
  // body and the blues between it and white take the skin's banner colour.
  void loadPictures() override;
  void skinChanged() override;
  // Sizes the popup to its picture, places the labels for the window's dpi
  // and puts it in the corner.
  void layout() override;

 private:
  void FormCreate();
  // The window's size: the card's, where the picture is not see-through.
  SIZE cardSize() const;
  void Close();
  void stopTimer();
  void setNum(int seconds);
  void paint(HDC dc) const;
  void doubleClick(POINT at);
  // Label1's lines, wrapped again only when its text, width or font changed;
  // dc has the labels' font selected.
  const std::vector<std::wstring>& wrappedMessage(HDC dc) const;

  HWND mainWindow_;
  int elapsed_ = 0;
  bool timerRunning_ = false;
  struct Wrapped {
    std::wstring caption;
    int width = -1;
    HFONT font = nullptr;
    std::vector<std::wstring> lines;
  };
  mutable Wrapped wrapped_;
};

// Breaks text into lines no wider than width, measured in dc's font, and
// stops after maxLines lines. CR LF (or a lone CR or LF) starts a new line.
// A line breaks at spaces, which the break swallows, or between two Chinese
// (CJK) characters; a word wider than a whole line is broken between its
// characters. Each character is measured once at most: the time it takes
// grows with the lines laid out, not with the square of the text.
std::vector<std::wstring> wrapText(HDC dc, std::wstring_view text, int width,
                                   std::size_t maxLines = static_cast<std::size_t>(-1));
