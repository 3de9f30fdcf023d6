// Independent ZIP readers installed on this machine (Info-ZIP's unzip, Python's zipfile,
// libarchive's bsdtar), each asked to test an archive and list its entries.
#pragma once

#include <string>
#include <vector>

namespace qnd::test {

struct ReaderVerdict {
  std::string reader;
  bool passed = false;  ///< the reader checked every entry, CRC included, without complaint
  std::vector<std::string> names;
  bool namesAsStored = true;       ///< false: names outside ASCII are shown converted
  bool slashForBackslash = false;  ///< a "\\" in a name is shown as "/"
  std::string details;  ///< Python: one line per entry, "name<TAB>flags<TAB>external attributes"
};

/// Each installed reader's verdict on `archive`; `scratch` is a folder for their output. Natively
/// and under Wine (the Linux side beneath it); fails the test when no reader ran, as on Windows
/// itself, where these Linux programs are not at hand.
std::vector<ReaderVerdict> ReadWithExternalReaders(const std::string& archive,
                                                   const std::string& scratch);

}  // namespace qnd::test
