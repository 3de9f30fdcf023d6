// The failures inside the archive of the old installation. They are thrown where they happen and
// end the archive step at its outer edge with status 1, before anything in the installation
// directory is deleted.
#pragma once

#include <stdexcept>
#include <string>
#include <system_error>

namespace qnd::dir {

class ArchiveError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

/// Throws an ArchiveError naming `what`, `path` and `error` when `error` is set.
inline void ThrowIfFailed(std::error_code error, const std::string& what,
                          const std::string& path = {}) {
  if (error) throw ArchiveError(what + (path.empty() ? "" : " " + path) + ": " + error.message());
}

}  // namespace qnd::dir
