// A registry kept in a map, for tests of the logic: keys and values are matched without regard to
// case, as in the real registry, and every opening is recorded with its access flags.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "platform/registry.h"

namespace qnd::test {

class FakeRegistry : public platform::Registry {
 public:
  struct Value {
    bool isString = true;  ///< false: a value of another type (a dword, say)
    std::string text;
  };

  /// Creates the key (under HKEY_LOCAL_MACHINE) if needed and sets a string value.
  void SetString(const std::string& key, const std::string& name, const std::string& text);
  /// Sets a value that holds no string.
  void SetNonString(const std::string& key, const std::string& name);
  /// Creates an empty key.
  void AddKey(const std::string& key);

  std::error_code OpenLocalMachineKey(const std::string& subkey, std::uint32_t access,
                                      std::unique_ptr<platform::RegistryKey>& key) override;

  struct Opening {
    std::string key;
    std::uint32_t access;
  };
  const std::vector<Opening>& Openings() const { return openings_; }

 private:
  using Values = std::map<std::string, Value>;  // by upper-cased name
  std::map<std::string, Values> keys_;          // by upper-cased path
  std::vector<Opening> openings_;
};

}  // namespace qnd::test
