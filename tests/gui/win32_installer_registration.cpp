#include "tests/gui/win32_installer_registration.h"

#include <gtest/gtest.h>

#include "platform/win32/wide.h"

namespace qnd::test {
namespace {

using platform::win32::Widen;

// The installer writes its registration into the 64-bit view; a 32-bit system ignores the flag.
constexpr REGSAM kView = KEY_WOW64_64KEY;
constexpr wchar_t kMarkName[] = L"QndTestRegistration";

void SetString(HKEY key, const wchar_t* name, const std::string& text) {
  const std::wstring wide = Widen(text);
  const LONG status =
      ::RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(wide.c_str()),
                       static_cast<DWORD>((wide.size() + 1) * sizeof(wchar_t)));
  EXPECT_EQ(status, ERROR_SUCCESS) << "cannot set a value: error " << status;
}

bool DeleteKey(const std::string& key) {
  return ::RegDeleteKeyExW(HKEY_LOCAL_MACHINE, Widen(key).c_str(), kView, 0) == ERROR_SUCCESS;
}

std::string Parent(const std::string& key) { return key.substr(0, key.find_last_of('\\')); }

}  // namespace

ScopedInstallerRegistration::ScopedInstallerRegistration(const std::string& key,
                                                         const std::string& installLocation) {
  // Level by level, so the destructor removes exactly the keys that did not exist before.
  HKEY handle = nullptr;
  for (std::size_t end = 0; end != std::string::npos;) {
    end = key.find('\\', end + 1);
    const std::string level = key.substr(0, end);
    if (handle) ::RegCloseKey(handle);
    handle = nullptr;
    DWORD disposition = 0;
    const LONG status = ::RegCreateKeyExW(HKEY_LOCAL_MACHINE, Widen(level).c_str(), 0, nullptr, 0,
                                          KEY_SET_VALUE | kView, nullptr, &handle, &disposition);
    if (status != ERROR_SUCCESS) {
      ADD_FAILURE() << "cannot create " << level << ": error " << status;
      return;
    }
    if (disposition == REG_CREATED_NEW_KEY) created_.push_back(level);
  }
  SetString(handle, L"InstallLocation", installLocation);
  SetString(handle, kMarkName, "written by the updater tests");
  ::RegCloseKey(handle);
}

ScopedInstallerRegistration::~ScopedInstallerRegistration() {
  for (auto key = created_.rbegin(); key != created_.rend(); ++key) {
    EXPECT_TRUE(DeleteKey(*key)) << "cannot delete " << *key;
  }
}

Leftover RemoveLeftoverRegistration(const std::string& key) {
  HKEY handle = nullptr;
  if (::RegOpenKeyExW(HKEY_LOCAL_MACHINE, Widen(key).c_str(), 0, KEY_QUERY_VALUE | kView,
                      &handle) != ERROR_SUCCESS) {
    return Leftover::None;
  }
  const bool marked =
      ::RegQueryValueExW(handle, kMarkName, nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
  ::RegCloseKey(handle);
  if (!marked) return Leftover::Foreign;
  EXPECT_TRUE(DeleteKey(key)) << "cannot delete " << key;
  DeleteKey(Parent(key));  // the product code's key, unless it holds more than the registration
  return Leftover::Removed;
}

}  // namespace qnd::test
