// Read access to keys under HKEY_LOCAL_MACHINE.
// Windows: the system registry. POSIX: a file in the registry editor's export format, named by the
// environment variable QND_REGISTRY_FILE (without it the registry is empty, so no key opens). Key
// and value names match without regard to case, as in the Windows registry.
//
// Results as stated in file_system.h.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <system_error>

namespace qnd::platform {

/// Access rights for opening a key (the Windows values).
inline constexpr std::uint32_t kKeyRead = 0x20019;
/// Added to kKeyRead by a 32-bit process on 64-bit Windows to see the 64-bit view of the registry.
inline constexpr std::uint32_t kKeyWow64_64Key = 0x0100;

enum class ValueRead {
  Ok,         ///< the value exists and is a string (plain or expandable); returned as stored
  Missing,    ///< no value of that name
  WrongType,  ///< the value exists but holds no string
  Failed,     ///< the registry could not be read
};

/// An open registry key; closed when the object is destroyed.
class RegistryKey {
 public:
  virtual ~RegistryKey() = default;
  /// True when the key holds a value of this name (of any type).
  virtual bool HasValue(const std::string& name) const = 0;
  /// Reads a string value; an expandable string is returned unexpanded. `out` is set only on Ok.
  virtual ValueRead ReadString(const std::string& name, std::string& out) const = 0;
};

class Registry {
 public:
  virtual ~Registry() = default;
  /// Opens HKEY_LOCAL_MACHINE\`subkey` with `access` into `key`; never creates it. No such key:
  /// std::errc::no_such_file_or_directory.
  virtual std::error_code OpenLocalMachineKey(const std::string& subkey, std::uint32_t access,
                                              std::unique_ptr<RegistryKey>& key) = 0;
};

/// The registry of this system.
Registry& SystemRegistry();

}  // namespace qnd::platform
