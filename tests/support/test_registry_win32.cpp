// The test keys in the real registry, written with the Win32 functions the product never uses.
#include <gtest/gtest.h>

#include <atomic>

#include "platform/win32/wide.h"
#include "tests/support/test_registry.h"

namespace qnd::test {
namespace {

constexpr wchar_t kParent[] = L"SOFTWARE\\QndTest";

// The key with its missing parents, open for setting values; null (and a failed test) when the
// registry refuses.
HKEY CreateKey(const std::string& root, const std::string& key) {
  const std::string path = key.empty() ? root : root + "\\" + key;
  HKEY handle = nullptr;
  const LONG status = ::RegCreateKeyExW(HKEY_LOCAL_MACHINE, platform::win32::Widen(path).c_str(), 0,
                                        nullptr, 0, KEY_SET_VALUE, nullptr, &handle, nullptr);
  if (status == ERROR_SUCCESS) return handle;
  ADD_FAILURE() << "cannot create " << path << ": error " << status;
  return nullptr;
}

void SetValue(const std::string& root, const std::string& key, const std::string& name, DWORD type,
              const void* data, std::size_t size) {
  HKEY handle = CreateKey(root, key);
  if (handle == nullptr) return;
  const LONG status = ::RegSetValueExW(handle, platform::win32::Widen(name).c_str(), 0, type,
                                       static_cast<const BYTE*>(data), static_cast<DWORD>(size));
  EXPECT_EQ(status, ERROR_SUCCESS) << "cannot set " << name;
  ::RegCloseKey(handle);
}

void SetText(const std::string& root, const std::string& key, const std::string& name, DWORD type,
             const std::string& text) {
  // With the terminating zero, as RegSetValueExW expects; zeros inside the text stay.
  const std::wstring wide = platform::win32::Widen(text);
  SetValue(root, key, name, type, wide.c_str(), (wide.size() + 1) * sizeof(wchar_t));
}

}  // namespace

struct ScopedTestKeys::Store {};

ScopedTestKeys::ScopedTestKeys() {
  static std::atomic<unsigned> counter{0};
  root_ = "SOFTWARE\\QndTest\\" + std::to_string(::GetCurrentProcessId()) + "-" +
          std::to_string(counter++);
  AddKey("");
}

ScopedTestKeys::~ScopedTestKeys() {
  ::RegDeleteTreeW(HKEY_LOCAL_MACHINE, platform::win32::Widen(root_).c_str());
  ::RegDeleteKeyW(HKEY_LOCAL_MACHINE, kParent);  // fails while other tests still use it
}

void ScopedTestKeys::AddKey(const std::string& key) {
  if (HKEY handle = CreateKey(root_, key)) ::RegCloseKey(handle);
}

void ScopedTestKeys::SetString(const std::string& key, const std::string& name,
                               const std::string& text) {
  SetText(root_, key, name, REG_SZ, text);
}

void ScopedTestKeys::SetExpandString(const std::string& key, const std::string& name,
                                     const std::string& text) {
  SetText(root_, key, name, REG_EXPAND_SZ, text);
}

void ScopedTestKeys::SetDword(const std::string& key, const std::string& name,
                              std::uint32_t number) {
  const DWORD value = number;
  SetValue(root_, key, name, REG_DWORD, &value, sizeof value);
}

void ScopedTestKeys::SetBinary(const std::string& key, const std::string& name,
                               const std::string& bytes) {
  SetValue(root_, key, name, REG_BINARY, bytes.data(), bytes.size());
}

}  // namespace qnd::test
