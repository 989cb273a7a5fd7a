#pragma once
// The operating-system operations that the program's logic calls, so the
// logic builds and runs without Windows. Texts are code page 936 bytes.
// Every operation runs on the GUI thread and returns when the system call
// returns, except the two sound operations, which the sound player calls
// from its own thread. Requests answer whether they went through, for the
// history alone; none throws unless its comment says so.

#include <optional>
#include <string>

#include "core/clock.h"

using WindowHandle = void*;

enum class ShellVerb { Default, Open };

// What the system answered a request: nothing when it went through, else
// its error text (code page 936). The user sees nothing of it at the
// moment; the history keeps it.
using RequestFailure = std::optional<std::string>;

// ExitSystem flags.
inline constexpr unsigned kExitPowerOff = 13;  // shutdown, forced, power off
inline constexpr unsigned kExitReboot = 2;     // restart, not forced
inline constexpr unsigned kExitLogoff = 4;     // log off, forced

class PlatformServices {
 public:
  virtual ~PlatformServices() = default;

  // Enables the shutdown privilege and asks Windows to end the session;
  // does nothing when the privilege can't be had.
  virtual RequestFailure ExitSystem(unsigned flags) = 0;
  // Locks the computer: the user's session stays, behind the sign-in screen.
  virtual RequestFailure LockComputer() = 0;
  // Turns the displays off; they come back on at the next key or mouse move.
  virtual void MonitorOff() = 0;
  // Enable the shutdown privilege as ExitSystem does, then put the computer
  // to sleep, or into hibernation; the events that wake it stay allowed.
  // Nothing happens when the privilege can't be had.
  virtual RequestFailure SleepSystem() = 0;
  virtual RequestFailure HibernateSystem() = 0;
  // Whether this computer can hibernate (it is switched on and has its file).
  virtual bool HibernationAvailable() = 0;
  // Opens a program, file, web address or mailto: address.
  virtual RequestFailure ShellOpen(ShellVerb verb, const std::string& target) = 0;
  // Plays a WAVE resource of the executable and returns when it has finished;
  // an unknown name plays the system's default sound.
  virtual RequestFailure PlayResourceSound(const std::string& name) = 0;
  // Plays a sound file and returns when it has finished; a failure when the
  // file is missing or cannot be played (nothing sounds then).
  virtual RequestFailure PlaySoundFile(const std::string& path) = 0;
  // Cuts short the sound PlayResourceSound plays now, from another thread.
  virtual void StopSound() = 0;
  virtual void SimpleBeep() = 0;
  // Sets the system clock from a local date and time; true on success.
  virtual bool SetClock(const LocalDateTime& local) = 0;
  // The autostart value; empty when missing. Throws HoravelError when the
  // value is not a string. Its data (a path from the system) is UTF-8, not
  // code page 936, so any path survives.
  virtual std::string ReadRunValue(const std::string& name) = 0;
  // Throws HoravelError when the value can't be written anywhere.
  virtual void WriteRunValue(const std::string& name, const std::string& text) = 0;
  virtual void DeleteRunValue(const std::string& name) = 0;
  virtual void MakeTopmost(WindowHandle window) = 0;
};
