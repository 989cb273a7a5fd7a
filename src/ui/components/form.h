#pragma once
// A top-level window that can be shown modally: the other windows of the
// program are disabled and a nested message loop runs until the form closes.
// Timers keep ticking inside that loop, so the scheduler's passes go on.

#include <functional>

#include "ui/components/window.h"

// A control's place in its parent's client area, in pixels at 96 dpi.
struct Place {
  int x, y, width, height;
};
// A place inside a box (a group box, say) given relative to the box.
constexpr Place inside(const Place& box, const Place& control) {
  return {box.x + control.x, box.y + control.y, control.width, control.height};
}

// A window's rectangle moved (and, where it is larger, cut to size) so that
// it lies wholly inside area.
RECT fitInside(const RECT& wanted, const RECT& area);
// The work area (the screen less the taskbar) of the monitor a rectangle
// lies on, or of the nearest one.
RECT workAreaOf(const RECT& where);
// wanted moved inside the work area of its monitor: no window Horavel
// places runs off the screen or under the taskbar.
inline RECT insideWorkArea(const RECT& wanted) { return fitInside(wanted, workAreaOf(wanted)); }

// Dpi: a form lays itself out for its dpi (Window::dpi). When that changes
// (WM_DPICHANGED, a move to a monitor of another scale) the form takes the
// size Windows suggests, remakes its font and sets it on every control,
// loads its pictures again and places its controls again.
class Form : public Window {
 public:
  ~Form() override;
  // Shows the form and returns when it has closed, with its modal result
  // (IDOK, IDCANCEL, ...). A form shown without activation leaves the
  // keyboard focus where it was (in another program, say).
  enum class Activation { Activate, None };
  int ShowModal(Activation activation = Activation::Activate);
  // Shows the form and returns at once; the other windows stay usable.
  void Show(Activation activation = Activation::Activate);
  bool isModal() const { return modal_; }
  // Ends a modal show with the result, or hides a modeless form.
  void closeWith(int modalResult);

 protected:
  // WM_CLOSE ends the modal show (IDCANCEL) or hides the form; FormShow runs
  // each time the form is shown; WM_NEXTDLGCTL (from a control that keeps
  // Tab to itself, such as a multi-line edit) moves the focus on.
  LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
  virtual void FormShow() {}

  // A fixed dialog frame with a caption and a close box only: no sizing
  // edge, no minimise or maximise box.
  static constexpr DWORD kDialogStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | WS_CLIPCHILDREN;
  // Creates the form as a dialog owned by owner; its size comes from
  // setClientSize. While the program's skin engine lives, the dialog takes
  // the skin's colours behind it and its labels.
  void createDialog(const wchar_t* className, const wchar_t* caption, HWND owner, DWORD style = kDialogStyle,
                    DWORD exStyle = 0);
  // Puts the focus on a control; it comes back there whenever the form is
  // activated again.
  void focusControl(HWND control) {
    focused_ = control;
    SetFocus(control);
  }
  // The control that gets the focus when the user activates the form, which
  // does not take it now (a form shown without activation).
  void focusOnActivation(HWND control) { focused_ = control; }
  // A modeless form that stays usable while another form is shown modally:
  // one that asks the user something that cannot wait for that form.
  void keepEnabledUnderModalForms();
  // Places the controls for the window's dpi; called again when it changes.
  virtual void layout() {}
  // Called after every change of look, for what the form colours itself
  // (panels, banners, pictures): currentSkin() is the look now in effect.
  virtual void skinChanged() {}
  // Loads the pictures for the window's dpi; called again when it changes.
  virtual void loadPictures() {}
  // The form's font, made by maker for the form's dpi and set on the form
  // and every control; the form owns it and makes it again on a dpi change.
  void useFont(std::function<HFONT(UINT dpi)> maker);
  HFONT font() const { return font_; }

  // Moves a control to its place, scaled to the form's dpi.
  void place(HWND control, const Place& where) const {
    MoveWindow(control, scale(where.x), scale(where.y), scale(where.width), scale(where.height), TRUE);
  }

  // Centres the form on another window (or the work area when none is
  // shown), inside the work area of its monitor.
  void centreOn(HWND other);
  // Gives the form that size and puts it in the lower right corner of the
  // work area (above the taskbar) of the monitor that shows mainWindow, or
  // of the primary monitor without one; cut to the work area where larger.
  void placeInCorner(HWND mainWindow, SIZE size);
  // Sizes the frame so that the client area is width x height pixels at
  // 96 dpi, scaled to the window's dpi.
  void setClientSize(int width96, int height96);
  // The icon resource the caption (and the window switcher) shows, loaded
  // at the sizes of the form's dpi, again when that changes.
  void useCaptionIcon(const wchar_t* name);

 private:
  void loadCaptionIcon();

  bool modal_ = false;
  int modalResult_ = 0;
  HWND focused_ = nullptr;  // the control that gets the focus back on activation
  std::function<HFONT(UINT dpi)> fontMaker_;
  HFONT font_ = nullptr;
  const wchar_t* captionIconName_ = nullptr;
  HICON captionIcons_[2] = {};  // big, small
};

// Runs one message through the thread's dialogs' keyboard handling and the
// application's accelerators, then dispatches it. Both the main loop and the
// modal loops use it.
void dispatchMessage(MSG& message);
// The accelerators of the main window, active whenever it is enabled.
void setMainAccelerators(HWND window, HACCEL accelerators);
