// A free drive letter that names a folder for one test, so a program can be pointed at the root of
// a drive without touching a real one. Wine keeps its drives as links in the prefix and makes them
// through its mount manager, as its configuration tool does; Windows maps the letter the way
// "subst" does.
#pragma once

#include <string>

namespace qnd::test {

class ScopedDriveLetter {
 public:
  /// Maps a free letter to `folder`; Root() is empty when that failed.
  explicit ScopedDriveLetter(const std::string& folder);
  ~ScopedDriveLetter();
  ScopedDriveLetter(const ScopedDriveLetter&) = delete;
  ScopedDriveLetter& operator=(const ScopedDriveLetter&) = delete;

  /// The drive's root with its separator ("Q:\"), or empty.
  std::string Root() const;

 private:
  char letter_ = 0;
  bool throughWine_ = false;
};

}  // namespace qnd::test
