// The fault points of the archive step (SaveQNDInst) and what each must leave behind, shared by the
// tests that fail its calls one by one and the whole runs that go through it.
//
// Fault point (first match wins)                              status  installation afterwards
// create, write, seek, stamp, flush or close of the archive     1     untouched
// listing of a folder of the installation                      1     untouched
// open, read or stamp of a file of the installation            1     untouched
// copy parking the start file in the temporary folder          1     untouched
// deletion of an archived file                                 0     emptied but for that file
// removal of an emptied folder                                 0     emptied but for that folder
// copy putting the start file back                             1     emptied, neither start file
//                                                                    nor archive copy (the rest of
//                                                                    the step is skipped; both are
//                                                                    in the temporary folder)
// copy of the archive into the installation                    1     emptied, no archive copy (it
//                                                                    is in the temporary folder)
// Emptied means: what the archive leaves out stays (folders that were empty before, the start file
// and the archive copy put back); every other file is in the archive only.
#pragma once

#include <set>
#include <string>

#include "core/status.h"
#include "platform/fault_injection.h"
#include "tests/dir_updater/install_tree.h"

namespace qnd::test {

/// Where the archive step works: the installation directory (without trailing separator) and the
/// temporary folder as the platform reports it (with its trailing separator).
struct ArchivePaths {
  std::string installDir;
  std::string tempFolder;

  std::string Archive() const;          ///< in the temporary folder
  std::string ParkedStartFile() const;  ///< in the temporary folder
  std::string StartFile() const;        ///< in the installation
  std::string ArchiveCopy() const;      ///< in the installation
  /// True when `path` lies below the installation directory.
  bool InInstallation(const std::string& path) const;
  /// `path` below the installation relative to it, with "/" between components.
  std::string Relative(const std::string& path) const;
};

/// What the installation directory holds after the fault.
enum class Left { Everything, AllButFaultedEntry, NoStartFile, NoArchiveCopy };

struct ArchiveFaultPoint {
  const char* where;
  bool (*matches)(const platform::FileCall& call, const ArchivePaths& paths);
  Status status;
  Left left;
};

/// The row of the table above for `call`; nullptr when no row names it (a gap in the table).
const ArchiveFaultPoint* FindArchiveFaultPoint(const platform::FileCall& call,
                                               const ArchivePaths& paths);

/// The relative names (files and folders, "/" between components) the installation must hold
/// after `point` met `call`, given what it held `before`.
std::set<std::string> ExpectedNames(const ArchiveFaultPoint& point, const platform::FileCall& call,
                                    const ArchivePaths& paths, const Tree& before);

/// The relative names of `tree`.
std::set<std::string> NamesOf(const Tree& tree);

}  // namespace qnd::test
