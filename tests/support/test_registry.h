// Puts keys and values into the system registry for one test, below
// HKEY_LOCAL_MACHINE\SOFTWARE\QndTest\<unique>, and removes them again, so the same tests can check
// SystemRegistry() on both platforms. Windows: the real registry (under Wine, that of the prefix).
// POSIX: an export file in a temporary folder that QND_REGISTRY_FILE names while the object lives.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

namespace qnd::test {

class ScopedTestKeys {
 public:
  /// Creates the (empty) root key.
  ScopedTestKeys();
  ~ScopedTestKeys();
  ScopedTestKeys(const ScopedTestKeys&) = delete;
  ScopedTestKeys& operator=(const ScopedTestKeys&) = delete;

  /// The root key below HKEY_LOCAL_MACHINE, e.g. "SOFTWARE\QndTest\1234-0".
  const std::string& Root() const { return root_; }

  /// Each call takes effect at once. `key` is relative to Root() ("" for Root() itself, "A\B" for a
  /// subkey, created with its parents); `name` "" is the key's default value.
  void AddKey(const std::string& key);
  /// A plain string; `text` may hold a zero, which is stored with the rest.
  void SetString(const std::string& key, const std::string& name, const std::string& text);
  void SetExpandString(const std::string& key, const std::string& name, const std::string& text);
  void SetDword(const std::string& key, const std::string& name, std::uint32_t number);
  void SetBinary(const std::string& key, const std::string& name, const std::string& bytes);

 private:
  struct Store;  // the platform's side
  std::string root_;
  std::unique_ptr<Store> store_;
};

}  // namespace qnd::test
