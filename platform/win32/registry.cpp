// HKEY_LOCAL_MACHINE through the Win32 registry functions. Values are read with RegQueryValueExW,
// which never expands an expandable string.
#include "platform/registry.h"

#include <vector>

#include "platform/win32/wide.h"

namespace qnd::platform {
namespace {

class Win32RegistryKey final : public RegistryKey {
 public:
  explicit Win32RegistryKey(HKEY key) : key_(key) {}
  ~Win32RegistryKey() override { ::RegCloseKey(key_); }
  Win32RegistryKey(const Win32RegistryKey&) = delete;
  Win32RegistryKey& operator=(const Win32RegistryKey&) = delete;

  bool HasValue(const std::string& name) const override {
    return ::RegQueryValueExW(key_, win32::Widen(name).c_str(), nullptr, nullptr, nullptr,
                              nullptr) == ERROR_SUCCESS;
  }

  ValueRead ReadString(const std::string& name, std::string& out) const override {
    const std::wstring wideName = win32::Widen(name);
    for (;;) {
      DWORD type = 0;
      DWORD size = 0;
      LONG status = ::RegQueryValueExW(key_, wideName.c_str(), nullptr, &type, nullptr, &size);
      if (status == ERROR_FILE_NOT_FOUND) return ValueRead::Missing;
      if (status != ERROR_SUCCESS) return ValueRead::Failed;
      if (type != REG_SZ && type != REG_EXPAND_SZ) return ValueRead::WrongType;
      std::vector<BYTE> data(size + sizeof(wchar_t));
      DWORD got = size;
      status = ::RegQueryValueExW(key_, wideName.c_str(), nullptr, &type, data.data(), &got);
      if (status == ERROR_MORE_DATA) continue;  // the value grew meanwhile
      if (status != ERROR_SUCCESS) return ValueRead::Failed;
      if (type != REG_SZ && type != REG_EXPAND_SZ) return ValueRead::WrongType;
      // A stored string need not end with a zero: the byte count decides, up to the first zero.
      std::wstring text(reinterpret_cast<const wchar_t*>(data.data()), got / sizeof(wchar_t));
      const std::size_t zero = text.find(L'\0');
      if (zero != std::wstring::npos) text.resize(zero);
      out = win32::Narrow(text);
      return ValueRead::Ok;
    }
  }

 private:
  HKEY key_;
};

class Win32Registry final : public Registry {
 public:
  std::error_code OpenLocalMachineKey(const std::string& subkey, std::uint32_t access,
                                      std::unique_ptr<RegistryKey>& opened) override {
    HKEY key = nullptr;
    const LONG status =
        ::RegOpenKeyExW(HKEY_LOCAL_MACHINE, win32::Widen(subkey).c_str(), 0, access, &key);
    if (status != ERROR_SUCCESS) {
      return status == ERROR_FILE_NOT_FOUND
                 ? std::make_error_code(std::errc::no_such_file_or_directory)
                 : win32::LastError(static_cast<DWORD>(status));
    }
    opened = std::make_unique<Win32RegistryKey>(key);
    return {};
  }
};

}  // namespace

Registry& SystemRegistry() {
  static Win32Registry registry;
  return registry;
}

}  // namespace qnd::platform
