// The safety property of the archive step, checked on disk: whatever is gone from the installation
// directory is in a complete, valid archive, byte for byte.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "tests/dir_updater/zip_reader.h"
#include "tests/support/install_tree.h"

namespace qnd::test {

/// Fails the current test unless each file that `installation` held `before` is still there with
/// the same bytes or is in the complete archive at `archivePath` with the same bytes, under the
/// installation's own folder name and its relative path (the archive is read only when a file is
/// missing or changed). Returns the relative paths of the files not in place.
std::vector<std::string> ExpectNothingLost(const Tree& before, const std::string& installation,
                                           const std::string& archivePath);

/// Fails the current test unless each file that `installation` held `before` is still there with
/// the same bytes or is, with the same bytes, in a complete archive inside the installation: one of
/// its own ZIP files, or an archive inside one of those, to any depth (a second run after an
/// interrupted one archives the first run's archive). An archive that is not complete, such as a
/// copy cut short, holds nothing. Returns the relative paths of the files not in place.
std::vector<std::string> ExpectNothingLostInside(const Tree& before,
                                                 const std::string& installation);

/// `relative` ("/" between components) with its folders: "Sub/Deep/x.dat" gives "Sub",
/// "Sub/Deep" and "Sub/Deep/x.dat".
std::vector<std::string> WithFolders(const std::string& relative);

}  // namespace qnd::test
