// A complete release-8 installation in a temporary folder, as the product lays it out: the
// installation directory with its start file and program, the ini folder with the "001" subfolder
// and the main ini, and the data with the user file, the twelve tables and the formulation aids.
// Tests change single pieces to provoke each failure.
#pragma once

#include <string>
#include <vector>

#include "tests/support/temp_dir.h"

namespace qnd::test {

struct SampleInstallation {
  /// Lays out the installation below `root`; `installFolder` is relative to `root`.
  explicit SampleInstallation(const TempDir& root,
                              const std::string& installFolder = "Programme/Quendra");

  std::string installDir;  ///< without a trailing separator
  std::string iniDir;      ///< with a trailing separator ("001" not included)
  std::string dataRoot;    ///< with a trailing separator
  std::string dataDir;     ///< dataRoot + "Daten" + separator

  /// The twelve data files, relative to dataRoot, in backup order (tests/data/data_files.txt).
  static const std::vector<std::string>& DataFiles();
  /// The files directly inside the formulation aids folder, relative to dataRoot.
  static const std::vector<std::string>& FormulationFiles();

  void SetUserCount(const std::string& userZahl) const;
  void SetProgramVersion(int a, int b, int c, int d) const;
  void RemoveFile(const std::string& path) const;
  /// Moves the main ini from the "001" subfolder into the ini folder itself (before release 8).
  void UseIniFolderWithout001() const;
};

/// Every data file of `installation` and its formulation aids have a "QND_Bkp_" copy with their
/// bytes, and the aids' subfolder was not copied.
void ExpectDataBackedUp(const SampleInstallation& installation);

}  // namespace qnd::test
