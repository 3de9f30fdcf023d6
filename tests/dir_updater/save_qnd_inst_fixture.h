// A QNDUpdaterP2 run's context around an installation in a temporary folder, with the system's file
// system behind a fault seam, a chosen own path and a recording window, for SaveQNDInst.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/progress_log.h"
#include "core/updater_context.h"
#include "dir_updater/old_install_archive.h"
#include "platform/paths.h"
#include "tests/dir_updater/archive_fakes.h"
#include "tests/dir_updater/install_tree.h"
#include "tests/dir_updater/zip_reader.h"
#include "tests/support/recording_window.h"
#include "tests/support/temp_dir.h"

namespace qnd::dir {

inline const std::string kSep(1, platform::kPathSeparator);

// Its members are public, so the tables of the tests can arrange a run through them.
class SaveQNDInstTest : public ::testing::Test {
 public:
  SaveQNDInstTest();

  /// `relative` ("/" between components) below the installation directory, the temporary folder
  /// or the folder around both.
  std::string Target(const std::string& relative) const;
  std::string Temp(const std::string& relative) const;
  /// The entry name of `relative` below the installation: "Quendra" + separator + ...
  static std::string EntryName(const std::string& relative);

  void Put(const std::string& relative, const std::string& bytes) const;
  /// Sub/Deep/x.dat, Sub/y.dat, z.dat and the start file.
  void PutSmallInstallation() const;

  Status Save() { return SaveQNDInst(context_, window_); }
  std::string ArchiveBytes() const { return test::ReadFileBytes(Temp("qndaltinst.zip")); }
  std::vector<std::string> ArchivedNames() const;
  test::Tree Installation() const { return test::Snapshot(state_.TargetDir); }
  /// True when no file or folder removal was even tried.
  bool NothingRemoved() const;

  test::TempDir root_;
  test::TestFileSystem fileSystem_;
  test::OwnPath ownPath_;
  test::RecordingWindow window_;
  ProgressLog log_;
  UpdaterState state_;
  UpdaterContext context_;
};

}  // namespace qnd::dir
