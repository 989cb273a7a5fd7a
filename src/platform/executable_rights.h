#pragma once
// Who can change the program. The machine-wide autostart value starts the
// executable in every user's session, administrators' included: it may only
// name a program that nobody but the system and administrators can replace,
// and in a folder where nobody else can plant a library or a daily mission.
// The rights come from the security descriptors of the folder and the file,
// given here as data.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// One entry of an access list. Trustees are security identifiers in their
// text form ("S-1-5-32-544").
struct AccessRule {
  bool allows = true;        // false: a deny rule, which never widens who can change
  bool inheritOnly = false;  // passed on to what the folder will hold, not its own
  std::uint32_t rights = 0;  // the access mask
  std::string trustee;
};

struct ObjectRights {
  std::string owner;  // who can always change the rules themselves
  // nullopt: no access list at all, which lets everyone do anything.
  std::optional<std::vector<AccessRule>> rules;
};

// True when nobody but the system, administrators and the installer service
// owns the folder or the file or is allowed to write, delete, or change the
// rights or owner of either (a folder: add files or folders, delete what it
// holds).
bool onlyAdministratorsCanChange(const ObjectRights& folder, const ObjectRights& file);
