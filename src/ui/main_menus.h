#pragma once
// The main window's menus and keyboard shortcuts: the menu bar (系统, 任务,
// 控制, 帮助), the notification-area icon's menu, the list's context menu,
// and the command ids they send. Two items of the 任务 menu show their
// action's picture, drawn by the window (drawMenuPicture).

#include <windows.h>
#include <commctrl.h>

// Command ids of the main window's controls and menu items.
enum MainCommand : int {
  cmdAdd = 1001, cmdModify, cmdDelete, cmdStart, cmdPause, cmdStop, cmdAbout, cmdQuit, cmdHelpContent,
  cmdVisitWeb, cmdQuestion, cmdSetup, cmdSystemTime, cmdEveryday, cmdShengji, cmdSaveMis, cmdLoadMis,
  cmdLoadMisConvert, cmdRestore, cmdTrayClose, cmdEverydayMission,
  // Menu items and side-bar items of Start, Pause and Stop have ids of their
  // own so that each control can be enabled on its own.
  cmdMenuStart, cmdMenuPause, cmdMenuStop, cmdBarStart, cmdBarPause, cmdBarStop,
  cmdHistory,
};

// Pictures of the command lists (ImageList1, 3, 4).
enum Picture : int { picAdd, picModify, picDelete, picStart, picPause, picStop, picAbout };

struct MainMenus {
  HMENU bar = nullptr;      // MainMenu1; goes with the window it is given to
  HMENU control = nullptr;  // 控制(&C) in the bar: Start, Pause, Stop
  HMENU tray = nullptr;     // PopupMenu1
  HMENU list = nullptr;     // PopupMenu2
  HACCEL accelerators = nullptr;
};

// Made with Pause and Stop greyed, as the program starts.
MainMenus createMainMenus();
// Frees what no window takes with it: the two popup menus and the shortcuts.
void destroyLooseMenus(MainMenus& menus);

// WM_MEASUREITEM and WM_DRAWITEM of a menu item that shows a picture of
// pictures (ImageList1), gap pixels before its text; false for any other.
bool measureMenuPicture(MEASUREITEMSTRUCT& item, HIMAGELIST pictures, int gap);
bool drawMenuPicture(const DRAWITEMSTRUCT& item, HIMAGELIST pictures, int gap);
