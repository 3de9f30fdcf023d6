#include "tests/gui/win32_installer_registration.h"

#include <gtest/gtest.h>

#include "platform/win32/wide.h"

namespace qnd::test {
namespace {

using platform::win32::Widen;

// A 32-bit system ignores the view flags.
REGSAM Flag(RegistryView view) {
  return view == RegistryView::Bits64 ? KEY_WOW64_64KEY : KEY_WOW64_32KEY;
}
constexpr wchar_t kMarkName[] = L"QndTestRegistration";

void SetString(HKEY key, const wchar_t* name, const std::string& text) {
  const std::wstring wide = Widen(text);
  const LONG status =
      ::RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(wide.c_str()),
                       static_cast<DWORD>((wide.size() + 1) * sizeof(wchar_t)));
  EXPECT_EQ(status, ERROR_SUCCESS) << "cannot set a value: error " << status;
}

std::string Parent(const std::string& key) { return key.substr(0, key.find_last_of('\\')); }

bool DeleteKey(const std::string& key, REGSAM view) {
  return ::RegDeleteKeyExW(HKEY_LOCAL_MACHINE, Widen(key).c_str(), view, 0) == ERROR_SUCCESS;
}

Leftover RemoveLeftover(const std::string& key, REGSAM view) {
  HKEY handle = nullptr;
  if (::RegOpenKeyExW(HKEY_LOCAL_MACHINE, Widen(key).c_str(), 0, KEY_QUERY_VALUE | view, &handle) !=
      ERROR_SUCCESS) {
    return Leftover::None;
  }
  const bool marked =
      ::RegQueryValueExW(handle, kMarkName, nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
  ::RegCloseKey(handle);
  if (!marked) return Leftover::Foreign;
  EXPECT_TRUE(DeleteKey(key, view)) << "cannot delete " << key;
  // The product code's key too, unless it holds more than the registration.
  DeleteKey(Parent(key), view);
  return Leftover::Removed;
}

}  // namespace

ScopedInstallerRegistration::ScopedInstallerRegistration(const std::string& key,
                                                         const std::string& installLocation,
                                                         RegistryView view)
    : view_(Flag(view)) {
  // Level by level, so the destructor removes exactly the keys that did not exist before.
  HKEY handle = nullptr;
  for (std::size_t end = 0; end != std::string::npos;) {
    end = key.find('\\', end + 1);
    const std::string level = key.substr(0, end);
    if (handle) ::RegCloseKey(handle);
    handle = nullptr;
    DWORD disposition = 0;
    const LONG status = ::RegCreateKeyExW(HKEY_LOCAL_MACHINE, Widen(level).c_str(), 0, nullptr, 0,
                                          KEY_SET_VALUE | view_, nullptr, &handle, &disposition);
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
    EXPECT_TRUE(DeleteKey(*key, view_)) << "cannot delete " << *key;
  }
}

Leftover RemoveLeftoverRegistration(const std::string& key) {
  const Leftover in64 = RemoveLeftover(key, Flag(RegistryView::Bits64));
  const Leftover in32 = RemoveLeftover(key, Flag(RegistryView::Bits32));
  if (in64 == Leftover::Foreign || in32 == Leftover::Foreign) return Leftover::Foreign;
  return in64 == Leftover::Removed || in32 == Leftover::Removed ? Leftover::Removed
                                                                : Leftover::None;
}

}  // namespace qnd::test
