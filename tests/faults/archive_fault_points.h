// The fault points of the archive step (SaveQNDInst) and what each must leave behind, shared by the
// tests that fail its calls one by one and the whole runs that go through it.
//
// Fault point (first match wins)                                  status  installation afterwards
// create, write, seek, stamp, flush or close of the new archive     1     as it was
// its rename to qndaltinst.zip in the temporary folder              1     as it was
// listing of a folder of the installation                          1     as it was
// open, read or stamp of a file of the installation (archiving)    1     as it was
// open or read of the archive for its copy in the installation     1     as it was
// create, write, stamp, flush or close of that copy                1     as it was (the copy is
//                                                                          removed again)
// open or read of the copy to verify it                            1     as it was (likewise)
// copy parking the start file in the temporary folder              1     as it was (likewise)
// deletion of an archived file, or the read of its content check   0     emptied but for that file
// removal of an emptied folder                                     0     emptied but for that
//                                                                          folder
// copy putting the start file back                                 1     emptied, no start file
// rename of the copy to qndaltinst.zip                             1     emptied, the verified copy
//                                                                          under its own name
// Emptied means: what the archive leaves out stays (the start file put back and the archive under
// its name); every other file and every folder below the installation is gone, in the archive.
#pragma once

#include <set>
#include <string>

#include "core/status.h"
#include "platform/fault_injection.h"
#include "tests/support/install_tree.h"

namespace qnd::test {

/// Where the archive step works: the installation directory (without trailing separator) and the
/// temporary folder as the platform reports it (with its trailing separator).
struct ArchivePaths {
  std::string installDir;
  std::string tempFolder;

  std::string Archive() const;          ///< in the temporary folder
  std::string NewArchive() const;       ///< in the temporary folder, while it is written
  std::string Copy() const;             ///< in the installation, until it is verified and named
  std::string ParkedStartFile() const;  ///< in the temporary folder
  std::string StartFile() const;        ///< in the installation
  std::string ArchiveCopy() const;      ///< in the installation
  /// True when `path` lies below the installation directory.
  bool InInstallation(const std::string& path) const;
  /// `path` below the installation relative to it, with "/" between components.
  std::string Relative(const std::string& path) const;
};

/// What the installation directory holds after the fault.
enum class Left { Everything, AllButFaultedEntry, NoStartFile, CopyUnderItsOwnName };

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
