// Ini files through the Windows profile functions themselves.
#include "platform/profile.h"

#include "platform/win32/wide.h"

namespace qnd::platform {
namespace {

class Win32Profile final : public Profile {
 public:
  std::string ReadString(const std::string& path, const std::string& section, const std::string& key,
                         const std::string& fallback) override {
    wchar_t buffer[kProfileValueMax + 1] = {};
    const DWORD length = ::GetPrivateProfileStringW(
        win32::Widen(section).c_str(), win32::Widen(key).c_str(), win32::Widen(fallback).c_str(),
        buffer, kProfileValueMax + 1, win32::Widen(path).c_str());
    return win32::Narrow(std::wstring_view(buffer, length));
  }

  std::error_code WriteString(const std::string& path, const std::string& section,
                              const std::string& key, const std::string& value) override {
    if (!::WritePrivateProfileStringW(win32::Widen(section).c_str(), win32::Widen(key).c_str(),
                                      win32::Widen(value).c_str(), win32::Widen(path).c_str()))
      return win32::LastError();
    return {};
  }
};

}  // namespace

Profile& SystemProfile() {
  static Win32Profile profile;
  return profile;
}

}  // namespace qnd::platform
