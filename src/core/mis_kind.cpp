#include "core/mis_kind.h"

const MisKind* findMisKind(std::string_view kindName) {
  for (const MisKind& kind : kMisKinds) {
    if (kind.name == kindName) return &kind;
  }
  return nullptr;
}
