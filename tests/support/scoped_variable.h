// An environment variable set or cleared for one test and put back afterwards, in the environment
// that the system's own functions read (GetTempPathW reads TMP on Windows; TMPDIR on POSIX), and
// the current folder likewise.
#pragma once

#include <optional>
#include <string>

namespace qnd::test {

class ScopedVariable {
 public:
  /// `value` nullopt clears the variable.
  ScopedVariable(std::string name, const std::optional<std::string>& value);
  ~ScopedVariable();
  ScopedVariable(const ScopedVariable&) = delete;
  ScopedVariable& operator=(const ScopedVariable&) = delete;

 private:
  std::string name_;
  std::optional<std::string> previous_;
};

/// The process's current folder changed for one test and put back afterwards.
class ScopedCurrentDirectory {
 public:
  explicit ScopedCurrentDirectory(const std::string& folder);
  ~ScopedCurrentDirectory();
  ScopedCurrentDirectory(const ScopedCurrentDirectory&) = delete;
  ScopedCurrentDirectory& operator=(const ScopedCurrentDirectory&) = delete;

 private:
  std::string previous_;
};

/// The variable that names the system's temporary folder: "TMP" on Windows, "TMPDIR" on POSIX.
const char* TemporaryFolderVariable();

}  // namespace qnd::test
