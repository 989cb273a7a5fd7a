#include "ui/main_menus.h"

#include <iterator>

namespace {

void appendItem(HMENU menu, int id, const wchar_t* caption) { AppendMenuW(menu, MF_STRING, id, caption); }
void appendSeparator(HMENU menu) { AppendMenuW(menu, MF_SEPARATOR, 0, nullptr); }

// The picture of ImageList1 a menu item shows, -1 for none.
int menuPicture(UINT id) {
  switch (id) {
    case cmdAdd: return picAdd;
    case cmdDelete: return picDelete;
    default: return -1;
  }
}

}  // namespace

MainMenus createMainMenus() {
  MainMenus menus;
  HMENU system = CreatePopupMenu();
  appendItem(system, cmdSetup, L"系统设置");
  appendItem(system, cmdSystemTime, L"设置系统时间");
  appendItem(system, cmdEveryday, L"每日任务维护");
  appendItem(system, cmdHistory, L"执行记录");
  appendSeparator(system);
  appendItem(system, cmdSaveMis, L"保存任务\tCtrl+S");
  appendItem(system, cmdLoadMis, L"加载任务\tCtrl+O");
  appendItem(system, cmdLoadMisConvert, L"加载至今日\tCtrl+Alt+O");
  appendSeparator(system);
  appendItem(system, cmdQuit, L"退出程序");

  HMENU mission = CreatePopupMenu();
  appendItem(mission, cmdAdd, L"添加任务\tCtrl+Ins");
  appendItem(mission, cmdModify, L"修改任务");
  appendItem(mission, cmdDelete, L"删除任务\tCtrl+Del");

  menus.control = CreatePopupMenu();
  appendItem(menus.control, cmdMenuStart, L"开始执行");
  appendItem(menus.control, cmdMenuPause, L"暂停执行");
  appendItem(menus.control, cmdMenuStop, L"停止执行");
  EnableMenuItem(menus.control, cmdMenuPause, MF_BYCOMMAND | MF_GRAYED);
  EnableMenuItem(menus.control, cmdMenuStop, MF_BYCOMMAND | MF_GRAYED);

  HMENU help = CreatePopupMenu();
  appendItem(help, cmdHelpContent, L"帮助主题");
  appendItem(help, cmdAbout, L"关于程序");
  appendItem(help, cmdShengji, L"升级历史");
  appendSeparator(help);
  appendItem(help, cmdVisitWeb, L"访问主页");
  appendItem(help, cmdQuestion, L"问题反馈");

  menus.bar = CreateMenu();
  AppendMenuW(menus.bar, MF_POPUP, reinterpret_cast<UINT_PTR>(system), L"系统(&S)");
  AppendMenuW(menus.bar, MF_POPUP, reinterpret_cast<UINT_PTR>(mission), L"任务(&M)");
  AppendMenuW(menus.bar, MF_POPUP, reinterpret_cast<UINT_PTR>(menus.control), L"控制(&C)");
  AppendMenuW(menus.bar, MF_POPUP, reinterpret_cast<UINT_PTR>(help), L"帮助(&H)");

  // The items bound to actions with a picture show it. The window draws it
  // from ImageList1 (menus draw other bitmaps on black, and invert them
  // when highlighted).
  for (int id : {cmdAdd, cmdDelete}) {
    MENUITEMINFOW info{};
    info.cbSize = sizeof info;
    info.fMask = MIIM_BITMAP;
    info.hbmpItem = HBMMENU_CALLBACK;
    SetMenuItemInfoW(mission, static_cast<UINT>(id), FALSE, &info);
  }

  menus.tray = CreatePopupMenu();
  appendItem(menus.tray, cmdRestore, L"恢复");
  appendItem(menus.tray, cmdHistory, L"执行记录");
  appendItem(menus.tray, cmdAbout, L"关于程序");
  appendSeparator(menus.tray);
  appendItem(menus.tray, cmdTrayClose, L"关闭程序");
  // What a double-click on the icon does, in bold.
  SetMenuDefaultItem(menus.tray, cmdRestore, FALSE);

  menus.list = CreatePopupMenu();
  appendItem(menus.list, cmdAdd, L"添加任务(&A)");
  appendItem(menus.list, cmdModify, L"修改任务(&M)");
  appendItem(menus.list, cmdDelete, L"删除任务(&D)");
  appendSeparator(menus.list);
  appendItem(menus.list, cmdEverydayMission, L"设为每日执行任务");

  ACCEL keys[] = {
      {FVIRTKEY | FCONTROL, VK_INSERT, cmdAdd},
      {FVIRTKEY | FCONTROL, VK_DELETE, cmdDelete},
      {FVIRTKEY | FCONTROL, 'S', cmdSaveMis},
      {FVIRTKEY | FCONTROL, 'O', cmdLoadMis},
      {FVIRTKEY | FCONTROL | FALT, 'O', cmdLoadMisConvert},
  };
  menus.accelerators = CreateAcceleratorTableW(keys, static_cast<int>(std::size(keys)));
  return menus;
}

void destroyLooseMenus(MainMenus& menus) {
  if (menus.accelerators) DestroyAcceleratorTable(menus.accelerators);
  if (menus.tray) DestroyMenu(menus.tray);
  if (menus.list) DestroyMenu(menus.list);
  menus.accelerators = nullptr;
  menus.tray = menus.list = nullptr;
}

bool measureMenuPicture(MEASUREITEMSTRUCT& item, HIMAGELIST pictures, int gap) {
  if (item.CtlType != ODT_MENU || menuPicture(item.itemID) < 0) return false;
  // The picture and a gap before the item's text.
  int width = 0, height = 0;
  ImageList_GetIconSize(pictures, &width, &height);
  item.itemWidth = static_cast<UINT>(width + gap);
  item.itemHeight = static_cast<UINT>(height);
  return true;
}

bool drawMenuPicture(const DRAWITEMSTRUCT& item, HIMAGELIST pictures, int gap) {
  const int picture = item.CtlType == ODT_MENU ? menuPicture(item.itemID) : -1;
  if (picture < 0) return false;
  int width = 0, height = 0;
  ImageList_GetIconSize(pictures, &width, &height);
  const RECT& r = item.rcItem;
  ImageList_Draw(pictures, picture, item.hDC, r.right - gap - width, r.top + (r.bottom - r.top - height) / 2,
                 ILD_TRANSPARENT);
  return true;
}
