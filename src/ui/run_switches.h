#pragma once
// The controls the run control greys out (Start, Pause, Stop), one adapter
// per kind of control: a toolbar button, a menu item, a side-bar item.

#include <windows.h>
#include <commctrl.h>

#include "core/run_control.h"
#include "ui/components/nav_bar.h"

class ToolButtonSwitch final : public CommandControl {
 public:
  ToolButtonSwitch(HWND toolbar, int id) : toolbar_(toolbar), id_(id) {}
  void setEnabled(bool enabled) override { SendMessageW(toolbar_, TB_ENABLEBUTTON, id_, MAKELONG(enabled, 0)); }

 private:
  HWND toolbar_;
  int id_;
};

class MenuItemSwitch final : public CommandControl {
 public:
  MenuItemSwitch(HMENU menu, int id) : menu_(menu), id_(id) {}
  void setEnabled(bool enabled) override {
    EnableMenuItem(menu_, static_cast<UINT>(id_), MF_BYCOMMAND | (enabled ? MF_ENABLED : MF_GRAYED));
  }

 private:
  HMENU menu_;
  int id_;
};

class NavItemSwitch final : public CommandControl {
 public:
  NavItemSwitch(NavBar& bar, int id) : bar_(bar), id_(id) {}
  void setEnabled(bool enabled) override { bar_.setItemEnabled(id_, enabled); }

 private:
  NavBar& bar_;
  int id_;
};
