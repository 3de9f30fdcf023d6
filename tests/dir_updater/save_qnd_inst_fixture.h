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
#include "tests/dir_updater/zip_reader.h"
#include "tests/support/install_tree.h"
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

  /// SaveQNDInst with `threads_` compressing.
  Status Save() { return SaveQNDInstWithThreads(context_, window_, threads_); }
  std::string ArchiveBytes() const { return test::ReadFileBytes(Temp("qndaltinst.zip")); }
  std::vector<std::string> ArchivedNames() const;
  test::Tree Installation() const { return test::Snapshot(state_.TargetDir); }
  /// True when no removal of a file or folder of the installation was even tried (the step's own
  /// copy of the archive, removed again after a failure, aside).
  bool NothingRemoved() const;
  /// Makes every call of `operation` on `path` (the target for copies and renames) fail.
  void FailOn(platform::FileOperation operation, const std::string& path);
  /// The largest number of bytes a single call of `operation` asked for or handed over.
  std::size_t LargestSize(platform::FileOperation operation) const;

  test::TempDir root_;
  /// Several, whatever this machine has; the archive's bytes are the same with one (see
  /// parallel_archive_test.cpp).
  unsigned threads_ = 4;
  platform::FaultInjector faults_;
  test::TestFileSystem fileSystem_{faults_};
  /// Every call through the seam, in order.
  std::vector<platform::FileCall> calls_;
  /// A test's own look at each call before it happens; true makes the call fail.
  platform::FaultInjector::Watch onCall_;
  test::OwnPath ownPath_;
  test::RecordingWindow window_;
  ProgressLog log_;
  UpdaterState state_;
  UpdaterContext context_;
};

}  // namespace qnd::dir
