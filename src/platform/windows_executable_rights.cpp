#include "platform/windows_executable_rights.h"

#include <windows.h>
#include <aclapi.h>
#include <sddl.h>

#include "platform/executable_rights.h"
#include "platform/text_conversion.h"

namespace {

std::string sidText(PSID sid) {
  LPWSTR text = nullptr;
  if (!sid || !ConvertSidToStringSidW(sid, &text)) return {};
  std::string narrow = toUtf8(text);
  LocalFree(text);
  return narrow;
}

// The owner and access list of a file or folder; nullopt when they cannot
// be read or hold a rule of a kind not known here.
std::optional<ObjectRights> rightsOf(const std::filesystem::path& object) {
  PSID owner = nullptr;
  PACL list = nullptr;
  PSECURITY_DESCRIPTOR descriptor = nullptr;
  if (GetNamedSecurityInfoW(object.c_str(), SE_FILE_OBJECT, OWNER_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION,
                            &owner, nullptr, &list, nullptr, &descriptor) != ERROR_SUCCESS) {
    return std::nullopt;
  }
  std::optional<ObjectRights> rights = ObjectRights{sidText(owner), std::nullopt};
  if (list) rights->rules.emplace();
  for (DWORD i = 0; list && i < list->AceCount && rights; ++i) {
    ACE_HEADER* header = nullptr;
    if (!GetAce(list, i, reinterpret_cast<void**>(&header))) {
      rights.reset();
      break;
    }
    // The allow and deny kinds (with or without a condition) share one
    // layout: header, mask, trustee.
    const BYTE type = header->AceType;
    if (type != ACCESS_ALLOWED_ACE_TYPE && type != ACCESS_DENIED_ACE_TYPE && type != ACCESS_ALLOWED_CALLBACK_ACE_TYPE &&
        type != ACCESS_DENIED_CALLBACK_ACE_TYPE) {
      rights.reset();
      break;
    }
    const auto* ace = reinterpret_cast<const ACCESS_ALLOWED_ACE*>(header);
    rights->rules->push_back({type == ACCESS_ALLOWED_ACE_TYPE || type == ACCESS_ALLOWED_CALLBACK_ACE_TYPE,
                              (header->AceFlags & INHERIT_ONLY_ACE) != 0, ace->Mask,
                              sidText(const_cast<DWORD*>(&ace->SidStart))});
  }
  LocalFree(descriptor);
  return rights;
}

}  // namespace

bool onlyAdministratorsCanChangeProgram(const std::filesystem::path& executable) {
  const auto folder = rightsOf(executable.parent_path());
  const auto file = rightsOf(executable);
  return folder && file && onlyAdministratorsCanChange(*folder, *file);
}
