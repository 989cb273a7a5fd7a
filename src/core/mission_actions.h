#pragma once
// The things a due mission can do. The main window implements them;
// the scheduler calls the one that belongs to a due row's kind.

#include <string>

#include "core/mis_kind.h"

class MissionActions {
 public:
  virtual ~MissionActions() = default;
  virtual void mShutdown() = 0;
  virtual void mReboot() = 0;
  virtual void mLogoff() = 0;
  virtual void mExecPro(std::string path) = 0;
  virtual void mOpenFile(std::string path) = 0;
  virtual void mMessage(std::string message) = 0;
  // The detail names a sound file chosen by the user, or "内置铃声" (the
  // built-in ring).
  virtual void mRing(std::string soundFile) = 0;
  virtual void mOpenUrl(std::string url) = 0;
  virtual void mEmail(std::string address) = 0;
  virtual void mLock() = 0;
  virtual void mMonitorOff() = 0;
  virtual void mSleep() = 0;
  virtual void mHibernate() = 0;

  // The system's error text when the action just called failed (a program
  // that cannot start, an address that cannot be opened, a power request
  // refused), once; empty when it went through or its end is not known yet
  // (a sound plays on). Nothing is shown when an action fails: the history
  // keeps it.
  virtual std::string takeFailure() { return {}; }
};

// Calls the action; detail goes to the actions that take one, as a copy, so
// the action may change the table while it runs.
void perform(MissionActions& actions, MisAction action, const std::string& detail);
