#pragma once
// PlatformServices on Windows: the real system calls.

#include "core/platform_services.h"

class WindowsPlatformServices final : public PlatformServices {
 public:
  RequestFailure ExitSystem(unsigned flags) override;
  RequestFailure LockComputer() override;
  void MonitorOff() override;
  RequestFailure SleepSystem() override;
  RequestFailure HibernateSystem() override;
  bool HibernationAvailable() override;
  RequestFailure ShellOpen(ShellVerb verb, const std::string& target) override;
  RequestFailure PlayResourceSound(const std::string& name) override;
  RequestFailure PlaySoundFile(const std::string& path) override;
  void StopSound() override;
  void SimpleBeep() override;
  bool SetClock(const LocalDateTime& local) override;
  std::string ReadRunValue(const std::string& name) override;
  void WriteRunValue(const std::string& name, const std::string& text) override;
  void DeleteRunValue(const std::string& name) override;
  void MakeTopmost(WindowHandle window) override;
};
