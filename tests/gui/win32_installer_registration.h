// The installer's registration of an installation, written into the system registry for one test
// (under Wine, that of the prefix) and removed again. Each registration carries a mark, so a
// registration left behind by an aborted test run is recognised and removed, while one that a real
// installer wrote is never touched.
#pragma once

#include <string>
#include <vector>

namespace qnd::test {

class ScopedInstallerRegistration {
 public:
  /// Writes `installLocation` as "InstallLocation" into the key `key` below HKEY_LOCAL_MACHINE, in
  /// the 64-bit view where there is one, as the installer does; fails the test when the registry
  /// refuses.
  ScopedInstallerRegistration(const std::string& key, const std::string& installLocation);
  /// Deletes the key and the parents that were created for it.
  ~ScopedInstallerRegistration();
  ScopedInstallerRegistration(const ScopedInstallerRegistration&) = delete;
  ScopedInstallerRegistration& operator=(const ScopedInstallerRegistration&) = delete;

 private:
  std::vector<std::string> created_;  ///< the keys this object created, parents first
};

enum class Leftover { None, Removed, Foreign };

/// Removes the key `key` below HKEY_LOCAL_MACHINE (64-bit view) when a test left it there; Foreign
/// when it exists without the tests' mark, i.e. belongs to a real installation and stays.
Leftover RemoveLeftoverRegistration(const std::string& key);

}  // namespace qnd::test
