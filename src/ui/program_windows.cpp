#include "ui/program_windows.h"

#include <utility>

ProgramWindows::ProgramWindows(PlatformServices& platform, const Clock& clock, const DateTimeText& text,
                               std::filesystem::path programFolder, int showCommand)
    : Form1(platform, clock, text, std::move(programFolder)) {
  ShowWindow(Form1.handle(), showCommand);
  UpdateWindow(Form1.handle());
  frmMis.emplace(Form1.handle(), Form1.MisTable1, clock, text, Form1.runControl(), platform);
  frmTishi.emplace(Form1.handle());
  Form1.attachWindows(&*frmMis, &*frmTishi);
}
