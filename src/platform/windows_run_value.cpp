#include "platform/windows_run_value.h"

#include <utility>
#include <vector>

#include "core/error.h"
#include "platform/run_value_errors.h"
#include "platform/text_conversion.h"

namespace {

constexpr wchar_t kRunKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
// Tried in this order: the machine-wide key first.
const HKEY kRoots[] = {HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER};

// An open registry key, closed when it goes out of scope.
class RegistryKey {
 public:
  RegistryKey() = default;
  RegistryKey(const RegistryKey&) = delete;
  RegistryKey& operator=(const RegistryKey&) = delete;
  ~RegistryKey() {
    if (key_) RegCloseKey(key_);
  }
  bool openForReading(HKEY root) { return RegOpenKeyExW(root, kRunKey, 0, KEY_READ, &key_) == ERROR_SUCCESS; }
  LSTATUS openOrCreate(HKEY root) {
    return RegCreateKeyExW(root, kRunKey, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr, &key_,
                           nullptr);
  }
  HKEY get() const { return key_; }

 private:
  HKEY key_ = nullptr;
};

RunValueWriteHook& writeHook() {
  static RunValueWriteHook hook;
  return hook;
}

std::string narrowName(const std::wstring& name) { return toCp936(name); }

std::wstring readUnder(HKEY root, const std::wstring& name) {
  RegistryKey key;
  if (!key.openForReading(root)) return {};
  DWORD type = 0;
  DWORD size = 0;
  if (RegQueryValueExW(key.get(), name.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS) return {};
  if (type != REG_SZ && type != REG_EXPAND_SZ) throw HoravelError(invalidDataTypeMessage(narrowName(name)));
  std::vector<wchar_t> buffer(size / sizeof(wchar_t) + 1, L'\0');
  DWORD bytes = static_cast<DWORD>((buffer.size() - 1) * sizeof(wchar_t));
  if (RegQueryValueExW(key.get(), name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(buffer.data()), &bytes) !=
      ERROR_SUCCESS)
    return {};
  // The stored text may or may not carry its terminating zero.
  return std::wstring(buffer.data());
}

}  // namespace

void setRunValueWriteHook(RunValueWriteHook hook) { writeHook() = std::move(hook); }

LSTATUS writeRunValueUnder(HKEY root, const std::wstring& name, const std::wstring& data) {
  RegistryKey key;
  if (const LSTATUS opened = key.openOrCreate(root); opened != ERROR_SUCCESS) return opened;
  const auto bytes = static_cast<DWORD>((data.size() + 1) * sizeof(wchar_t));
  return RegSetValueExW(key.get(), name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(data.c_str()), bytes);
}

std::wstring readRunValue(const std::wstring& name) {
  for (HKEY root : kRoots) {
    std::wstring data = readUnder(root, name);
    if (!data.empty()) return data;
  }
  return {};
}

void writeRunValue(const std::wstring& name, const std::wstring& data, bool machineWide) {
  for (HKEY root : kRoots) {
    if (root == HKEY_LOCAL_MACHINE && !machineWide) continue;
    const LSTATUS written = writeHook() ? writeHook()(root, name, data) : writeRunValueUnder(root, name, data);
    if (written == ERROR_SUCCESS) return;
  }
  throw HoravelError(failedToSetDataMessage(narrowName(name)));
}

void deleteRunValue(const std::wstring& name) {
  for (HKEY root : kRoots) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(root, kRunKey, 0, KEY_SET_VALUE, &key) != ERROR_SUCCESS) continue;
    RegDeleteValueW(key, name.c_str());
    RegCloseKey(key);
  }
}
