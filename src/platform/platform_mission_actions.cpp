#include "platform/platform_mission_actions.h"

#include <exception>
#include <string_view>
#include <utility>

#include "core/mis_kind.h"

namespace {

bool isAsciiLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool isAsciiDigit(char c) { return c >= '0' && c <= '9'; }

// True for an address the shell takes as an address: one with a scheme
// ("https:", "mailto:"), or a path that names its drive or server. Anything
// else the shell would first look up as a program of that name in the
// current folder, the PATH and App Paths ("www.example.com"). A letter and
// a colon is a drive; a colon before digits is a host's port
// ("localhost:8080"), not a scheme.
bool opensAsAnAddress(std::string_view url) {
  if (url.empty() || url.substr(0, 2) == "\\\\") return true;
  if (!isAsciiLetter(url[0])) return false;
  std::size_t colon = 1;
  while (colon < url.size() && (isAsciiLetter(url[colon]) || isAsciiDigit(url[colon]) || url[colon] == '+' ||
                                url[colon] == '-' || url[colon] == '.')) {
    ++colon;
  }
  if (colon == url.size() || url[colon] != ':') return false;
  return colon == 1 || colon + 1 == url.size() || !isAsciiDigit(url[colon + 1]);
}

}  // namespace

PlatformMissionActions::PlatformMissionActions(PlatformServices& platform, ReminderPopup& popup, SoundPlayer& sounds)
    : platform_(platform), popup_(&popup), sounds_(sounds) {}

PlatformMissionActions::PlatformMissionActions(PlatformServices& platform, SoundPlayer& sounds)
    : platform_(platform), popup_(nullptr), sounds_(sounds) {}

void PlatformMissionActions::keep(RequestFailure failure) { failure_ = failure.value_or(std::string()); }

std::string PlatformMissionActions::takeFailure() { return std::exchange(failure_, std::string()); }

void PlatformMissionActions::mShutdown() { keep(platform_.ExitSystem(kExitPowerOff)); }

void PlatformMissionActions::mReboot() { keep(platform_.ExitSystem(kExitReboot)); }

void PlatformMissionActions::mLogoff() { keep(platform_.ExitSystem(kExitLogoff)); }

void PlatformMissionActions::mLock() { keep(platform_.LockComputer()); }

void PlatformMissionActions::mMonitorOff() {
  failure_.clear();
  platform_.MonitorOff();
}

void PlatformMissionActions::mSleep() { keep(platform_.SleepSystem()); }

void PlatformMissionActions::mHibernate() { keep(platform_.HibernateSystem()); }

void PlatformMissionActions::mExecPro(std::string path) { keep(platform_.ShellOpen(ShellVerb::Default, path)); }

void PlatformMissionActions::mOpenFile(std::string path) { keep(platform_.ShellOpen(ShellVerb::Open, path)); }

void PlatformMissionActions::mOpenUrl(std::string url) {
  keep(platform_.ShellOpen(ShellVerb::Open, opensAsAnAddress(url) ? url : "http://" + url));
}

namespace {

bool startsWithMailto(const std::string& address) {
  constexpr std::string_view kScheme = "mailto:";
  if (address.size() < kScheme.size()) return false;
  for (std::size_t i = 0; i < kScheme.size(); ++i) {
    char c = address[i];
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    if (c != kScheme[i]) return false;
  }
  return true;
}

}  // namespace

void PlatformMissionActions::mEmail(std::string address) {
  // The address as stored, without escaping; "mailto:" once.
  keep(platform_.ShellOpen(ShellVerb::Open, startsWithMailto(address) ? address : "mailto:" + address));
}

void PlatformMissionActions::mRing(std::string soundFile) {
  failure_.clear();
  const bool builtIn = soundFile.empty() || soundFile == kBuiltInRing;
  SoundPlayer::Failed failed;
  if (history_) {
    failed = [history = history_, clock = clock_, soundFile](const std::string& errorText) {
      history->record({clock->now(), std::string(kindName(MisAction::Ring)), soundFile,
                       MissionOutcome::Failed, std::nullopt, errorText});
    };
  }
  sounds_.ring(builtIn ? std::string() : soundFile, "ring", std::move(failed));
}

void PlatformMissionActions::mMessage(std::string message) {
  failure_.clear();
  waiting_.push_back(std::move(message));
  // A nested pass: the call below us shows it in turn. Before the popup
  // exists no pass runs; a text would wait for the next reminder.
  if (showing_ || !popup_) return;

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
  popup_->setMessage(message);
  platform_.SimpleBeep();
  popup_->showModal();
  // Hidden by now; it stays above the other windows.
  platform_.MakeTopmost(popup_->window());
}
