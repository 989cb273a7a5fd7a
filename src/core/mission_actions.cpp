#include "core/mission_actions.h"

void perform(MissionActions& actions, MisAction action, const std::string& detail) {
  switch (action) {
    case MisAction::Shutdown: actions.mShutdown(); break;
    case MisAction::Reboot: actions.mReboot(); break;
    case MisAction::Logoff: actions.mLogoff(); break;
    case MisAction::ExecPro: actions.mExecPro(detail); break;
    case MisAction::OpenFile: actions.mOpenFile(detail); break;
    case MisAction::Message: actions.mMessage(detail); break;
    case MisAction::Ring: actions.mRing(detail); break;
    case MisAction::OpenUrl: actions.mOpenUrl(detail); break;
    case MisAction::Email: actions.mEmail(detail); break;
    case MisAction::Lock: actions.mLock(); break;
    case MisAction::MonitorOff: actions.mMonitorOff(); break;
    case MisAction::Sleep: actions.mSleep(); break;
    case MisAction::Hibernate: actions.mHibernate(); break;
  }
}
