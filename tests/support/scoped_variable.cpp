#include "tests/support/scoped_variable.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <utility>

#include "platform/process.h"

#ifdef _WIN32
#include "platform/win32/wide.h"
#endif

namespace qnd::test {
namespace {

std::filesystem::path Utf8Path(const std::string& utf8) {
  return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
}

#ifdef _WIN32
std::optional<std::string> Get(const std::string& name) {
  const std::wstring wide = platform::win32::Widen(name);
  const DWORD length = ::GetEnvironmentVariableW(wide.c_str(), nullptr, 0);
  if (length == 0) return std::nullopt;
  std::wstring value(length, L'\0');
  value.resize(::GetEnvironmentVariableW(wide.c_str(), value.data(), length));
  return platform::win32::Narrow(value);
}

void Set(const std::string& name, const std::optional<std::string>& value) {
  const std::wstring wide = platform::win32::Widen(name);
  ::SetEnvironmentVariableW(wide.c_str(), value ? platform::win32::Widen(*value).c_str() : nullptr);
}
#else
std::optional<std::string> Get(const std::string& name) {
  const char* value = std::getenv(name.c_str());
  return value ? std::optional<std::string>(value) : std::nullopt;
}

void Set(const std::string& name, const std::optional<std::string>& value) {
  if (value) {
    ::setenv(name.c_str(), value->c_str(), 1);
  } else {
    ::unsetenv(name.c_str());
  }
}
#endif

}  // namespace

ScopedVariable::ScopedVariable(std::string name, const std::optional<std::string>& value)
    : name_(std::move(name)), previous_(Get(name_)) {
  Set(name_, value);
}

ScopedVariable::~ScopedVariable() { Set(name_, previous_); }

ScopedCurrentDirectory::ScopedCurrentDirectory(const std::string& folder)
    : previous_(platform::CurrentDirectory()) {
  std::error_code error;
  std::filesystem::current_path(Utf8Path(folder), error);
  EXPECT_FALSE(error) << "cannot change to " << folder;
}

ScopedCurrentDirectory::~ScopedCurrentDirectory() {
  std::error_code ignored;
  std::filesystem::current_path(Utf8Path(previous_), ignored);
}

const char* TemporaryFolderVariable() {
#ifdef _WIN32
  return "TMP";
#else
  return "TMPDIR";
#endif
}

}  // namespace qnd::test
