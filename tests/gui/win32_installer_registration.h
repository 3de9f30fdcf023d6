// The installer's registration of an installation, written into the system registry for one test
// (under Wine, that of the prefix) and removed again. Each registration carries a mark, so a
// registration left behind by an aborted test run is recognised and removed, while one that a real
// installer wrote is never touched.
#pragma once

#include <string>
#include <vector>

#include "platform/win32/win32.h"

namespace qnd::test {

/// The registry views of a 64-bit Windows: the installer writes its registration into the 64-bit
/// one; the 32-bit one (Wow6432Node) is where a 32-bit program's keys go by default.
enum class RegistryView { Bits64, Bits32 };

class ScopedInstallerRegistration {
 public:
  /// Writes `installLocation` as "InstallLocation" into the key `key` below HKEY_LOCAL_MACHINE, in
  /// `view` (a 32-bit system has only one); fails the test when the registry refuses.
  ScopedInstallerRegistration(const std::string& key, const std::string& installLocation,
                              RegistryView view = RegistryView::Bits64);
  /// Deletes the key and the parents that were created for it.
  ~ScopedInstallerRegistration();
  ScopedInstallerRegistration(const ScopedInstallerRegistration&) = delete;
  ScopedInstallerRegistration& operator=(const ScopedInstallerRegistration&) = delete;

 private:
  REGSAM view_;
  std::vector<std::string> created_;  ///< the keys this object created, parents first
};

enum class Leftover { None, Removed, Foreign };

/// Removes the key `key` below HKEY_LOCAL_MACHINE, in either view, when a test left it there;
/// Foreign when it exists without the tests' mark, i.e. belongs to a real installation and stays.
Leftover RemoveLeftoverRegistration(const std::string& key);

}  // namespace qnd::test
