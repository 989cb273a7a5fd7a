#pragma once
// The settings dialog: the look, autostart, the hourly chime, the notice
// before a power action and waking the computer for a mission. The main
// window makes one for each use ("系统设置"):
//
//   TfrmSetup setup(handle(), profile, platform, [this](int theme) { applyTheme(theme); }, autoSpeek,
//                   noticeSeconds, exePath, &wakeTimer);
//   setup.ShowModal();
//
// Creating it reads the settings into its controls (and the chime into
// autoSpeek); "确定" stores and applies them (the notice into
// noticeSeconds); "取消" closes it. Ticking "唤醒计算机执行任务" says so at
// once when the wake timer cannot wake this computer.

#include <windows.h>
#include <commctrl.h>

#include <functional>
#include <string>

#include "core/platform_services.h"
#include "platform/wake_timer.h"
#include "storage/settings.h"
#include "ui/components/form.h"

class TfrmSetup final : public Form {
 public:
  // exePath: the running executable's full path (UTF-8, like every Run value), written
  // as the autostart value.
  // wake: asked whether it can wake the computer when the box is ticked.
  TfrmSetup(HWND owner, ProfileStore& profile, PlatformServices& platform, std::function<void(int)> applyTheme,
            bool& autoSpeek, int& noticeSeconds, std::string exePath, WakeTimer* wake = nullptr);
  ~TfrmSetup() override;

  HWND GroupBox1 = nullptr;
  HWND Label1 = nullptr;
  HWND ComboBox1 = nullptr;
  HWND ckAutoRun = nullptr;
  HWND ckAutospeek = nullptr;
  HWND Label2 = nullptr;       // "关机前提示:"
  HWND cbNotice = nullptr;     // 不提示, 15 秒, 30 秒, 60 秒, 120 秒
  HWND ckWake = nullptr;
  HWND BitBtn1 = nullptr;  // 确定
  HWND BitBtn2 = nullptr;  // 取消

  void BitBtn1Click();
  void BitBtn2Click();
  void ckWakeClick();

 protected:
  void FormShow() override;

 private:
  void createControls();
  void layout() override;
  void loadPictures() override;
  void FormCreate();

  ProfileStore& profile_;
  PlatformServices& platform_;
  std::function<void(int)> applyTheme_;
  bool& autoSpeek_;
  int& noticeSeconds_;
  // The stored notice; OK writes it back when the box shows none of its
  // lengths (one written into the file by hand).
  int storedNotice_ = kDefaultNoticeSeconds;
  std::string exePath_;
  WakeTimer* wake_;
  HIMAGELIST okGlyph_ = nullptr;
  HIMAGELIST cancelGlyph_ = nullptr;
};
