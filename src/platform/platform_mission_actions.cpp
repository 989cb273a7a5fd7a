#include "platform/platform_mission_actions.h"

#include <exception>
#include <utility>

PlatformMissionActions::PlatformMissionActions(PlatformServices& platform, ReminderPopup& popup, SoundPlayer& sounds)
    : platform_(platform), popup_(popup), sounds_(sounds) {}

void PlatformMissionActions::mShutdown() { platform_.ExitSystem(kExitPowerOff); }

void PlatformMissionActions::mReboot() { platform_.ExitSystem(kExitReboot); }

void PlatformMissionActions::mLogoff() { platform_.ExitSystem(kExitLogoff); }

void PlatformMissionActions::mExecPro(std::string path) { platform_.ShellOpen(ShellVerb::Default, path); }

void PlatformMissionActions::mOpenFile(std::string path) { platform_.ShellOpen(ShellVerb::Open, path); }

void PlatformMissionActions::mOpenUrl(std::string url) { platform_.ShellOpen(ShellVerb::Open, url); }

void PlatformMissionActions::mEmail(std::string address) {
  // The address as stored: no check for a "mailto:" already there, no escaping.
  platform_.ShellOpen(ShellVerb::Open, "mailto:" + address);
}

void PlatformMissionActions::mRing() { sounds_.play("ring"); }

void PlatformMissionActions::mMessage(std::string message) {
  waiting_.push_back(std::move(message));
  if (showing_) return;  // a nested pass: the call below us shows it in turn

  showing_ = true;
  // A failure in one reminder must neither strand the ones in line nor
  // leave us "showing": finish the line, then report the first failure.
  std::exception_ptr failure;
  while (!waiting_.empty()) {
    const std::string next = std::move(waiting_.front());
    waiting_.pop_front();
    try {
      showOne(next);
    } catch (...) {
      if (!failure) failure = std::current_exception();
    }
  }
  showing_ = false;
  if (failure) std::rethrow_exception(failure);
}

void PlatformMissionActions::showOne(const std::string& message) {
  popup_.setMessage(message);
  platform_.SimpleBeep();
  popup_.showModal();
  // Hidden by now; from the next showing on the popup stays above the others.
  platform_.MakeTopmost(popup_.window());
}
