#include "platform/executable_rights.h"

#include <algorithm>
#include <string_view>

namespace {

constexpr std::string_view kSystem = "S-1-5-18";
constexpr std::string_view kAdministrators = "S-1-5-32-544";
constexpr std::string_view kTrustedInstaller = "S-1-5-80-956008885-3418522649-1831038044-1851658625-2271478464";
// Stands for whoever creates an object beneath; never checked against.
constexpr std::string_view kCreatorOwner = "S-1-3-0";
// Stands for the object's owner.
constexpr std::string_view kOwnerRights = "S-1-3-4";

// Write data or add a file, append or add a folder, delete what a folder
// holds, delete, change the rules, take ownership, and the generic rights
// that include writing.
constexpr std::uint32_t kChangeRights = 0x2 | 0x4 | 0x40 | 0x10000 | 0x40000 | 0x80000 | 0x02000000 |
                                        0x10000000 | 0x40000000;

bool isAdministration(std::string_view trustee) {
  return trustee == kSystem || trustee == kAdministrators || trustee == kTrustedInstaller;
}

bool onlyAdministration(const ObjectRights& object) {
  if (!isAdministration(object.owner) || !object.rules) return false;
  return std::all_of(object.rules->begin(), object.rules->end(), [&](const AccessRule& rule) {
    if (!rule.allows || rule.inheritOnly || (rule.rights & kChangeRights) == 0) return true;
    if (rule.trustee == kCreatorOwner) return true;
    if (rule.trustee == kOwnerRights) return isAdministration(object.owner);
    return isAdministration(rule.trustee);
  });
}

}  // namespace

bool onlyAdministratorsCanChange(const ObjectRights& folder, const ObjectRights& file) {
  return onlyAdministration(folder) && onlyAdministration(file);
}
