#include "core/mis_kind.h"

const MisKind* findMisKind(std::string_view kindName) {
  for (const MisKind& kind : kMisKinds) {
    if (kind.name == kindName) return &kind;
  }
  return nullptr;
}

int noticeStrength(MisAction action) {
  switch (action) {
    case MisAction::Shutdown: return 5;
    case MisAction::Reboot: return 4;
    case MisAction::Logoff: return 3;
    case MisAction::Hibernate: return 2;
    case MisAction::Sleep: return 1;
    default: return 0;
  }
}

std::string_view kindName(MisAction action) {
  for (const MisKind& kind : kMisKinds) {
    if (kind.action == action) return kind.name;
  }
  return {};
}

bool isPowerKind(MisAction action) {
  return noticeStrength(action) > 0 || action == MisAction::Lock || action == MisAction::MonitorOff;
}
