// A fresh temporary folder per test, removed with everything in it at the end. Paths are UTF-8 and use
// the platform's separator, as the logic builds them.
#pragma once

#include <string>

namespace qnd::test {

class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  /// The folder itself, without a trailing separator.
  const std::string& Path() const { return path_; }
  /// Path() + separator + `relative` (`relative` may use "/" between its components).
  std::string operator/(const std::string& relative) const;

  /// Creates the file (and its missing folders) with exactly `bytes`.
  void WriteFile(const std::string& relative, const std::string& bytes) const;
  /// The bytes of a file; fails the test when it cannot be read.
  std::string ReadFile(const std::string& relative) const;
  /// Creates a folder with its missing parents.
  void MakeDir(const std::string& relative) const;
  bool Exists(const std::string& relative) const;

 private:
  std::string path_;
};

/// Reads or writes a file by its full UTF-8 path; writing creates the missing folders.
std::string ReadFileBytes(const std::string& path);
void WriteFileBytes(const std::string& path, const std::string& bytes);

}  // namespace qnd::test
