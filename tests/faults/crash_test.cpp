// A real directory run killed before each file-system call of its archive step (the runner waits
// there, the test kills it abruptly: SIGKILL on POSIX, TerminateProcess on Windows), then the disk
// checked: the installation untouched or whatever is gone from it in the complete archive, the
// data folders as they were, and no result file (a run writes it only at its end). Then the run is
// started again, as a user would after a restart, and ends well, with every file of the first
// installation still in place or in an archive inside it (the second run archives the first run's
// verified archive with the rest).
#include <gtest/gtest.h>

#include <chrono>
#include <sstream>

#include "dir_updater/old_install_archive.h"
#include "platform/file_system.h"
#include "platform/paths.h"
#include "tests/faults/nothing_lost.h"
#include "tests/faults/run_scene.h"
#include "tests/support/child_process.h"
#include "tests/support/host_shell.h"

namespace qnd::test {
namespace {

const std::string kSep(1, platform::kPathSeparator);
// Generous: under Wine a run takes many times as long as natively.
constexpr int kRunTimeoutMs = 120000;

// The runner's marker and report lie in the scene's root, outside everything the run touches.
std::string Marker(const RunScene& scene) { return scene.dir / "runner-stopped"; }
std::string Report(const RunScene& scene) { return scene.dir / "runner-calls.txt"; }

// Started with the scene's temporary folder in this process's environment, which it inherits.
SpawnedProcess StartRunner(const RunScene& scene, std::size_t stopAt) {
  return SpawnedProcess(FromHostPath(QND_CRASH_RUNNER),
                        {scene.installation.installDir, scene.dir / "ProgramData",
                         std::to_string(stopAt), Marker(scene), Report(scene)});
}

// Runs the runner to its end; its exit code, none when it did not start or end in time.
std::optional<int> RunToEnd(const RunScene& scene) {
  SpawnedProcess runner = StartRunner(scene, 0);
  return runner.WaitForExit(kRunTimeoutMs);
}

// Starts the runner, waits until it stands before call `stopAt` and kills it there.
testing::AssertionResult KilledBeforeCall(const RunScene& scene, std::size_t stopAt) {
  SpawnedProcess runner = StartRunner(scene, stopAt);
  if (!runner.Started()) return testing::AssertionFailure() << "the runner did not start";
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(kRunTimeoutMs);
  while (!platform::SystemFileSystem().FileExists(Marker(scene))) {
    if (const std::optional<int> code = runner.WaitForExit(1)) {
      return testing::AssertionFailure()
             << "the runner ended with code " << *code << " without stopping";
    }
    if (std::chrono::steady_clock::now() > deadline)
      return testing::AssertionFailure() << "the runner did not stop in time";
  }
  if (!runner.Kill()) return testing::AssertionFailure() << "the kill did not end the runner";
  return testing::AssertionSuccess();
}

TEST(CrashTest, KilledAnywhereInTheArchiveStepLosesNothing) {
  // The calls of a clean run, up to the last one of the archive step (on the installation or in
  // the temporary folder).
  std::size_t archiveCalls = 0;
  std::vector<std::string> calls;
  {
    RunScene scene(Program::Dir);
    ASSERT_EQ(RunToEnd(scene), 0);
    // The runner packs in this scene's temporary folder, which it takes from the environment as
    // this process does, so the kills below leave the archive where the checks look for it.
    const std::string temporaryFolder = platform::SystemFileSystem().TemporaryFolder();
    bool packedInTemporaryFolder = false;
    std::istringstream lines(ReadFileBytes(Report(scene)));
    for (std::string line; std::getline(lines, line);) {
      calls.push_back(line);
      const std::string path = line.substr(line.find('\t') + 1);
      if (path.rfind(temporaryFolder, 0) == 0) packedInTemporaryFolder = true;
      if (path.rfind(scene.installation.installDir + kSep, 0) == 0 ||
          path.rfind(scene.dir / "Temp", 0) == 0)
        archiveCalls = calls.size();
    }
    EXPECT_TRUE(packedInTemporaryFolder) << "the runner made no call in " << temporaryFolder;
  }
  ASSERT_GT(archiveCalls, 20u) << "the archive step made too few calls to be the real one";

  for (std::size_t n = 1; n <= archiveCalls; ++n) {
    SCOPED_TRACE("killed before call " + std::to_string(n) + ": " + calls[n - 1]);
    RunScene scene(Program::Dir);
    const Tree installBefore = Snapshot(scene.installation.installDir);
    const Tree dataBefore = Snapshot(scene.dir / "Daten");
    const std::string archive =
        platform::SystemFileSystem().TemporaryFolder() + kSep + dir::kArchiveName;

    ASSERT_TRUE(KilledBeforeCall(scene, n));

    ExpectNothingLost(installBefore, scene.installation.installDir, archive);
    ExpectNothingLost(dataBefore, scene.dir / "Daten", archive);
    ExpectNothingLostInside(installBefore, scene.installation.installDir);
    EXPECT_FALSE(platform::SystemFileSystem().FileExists(scene.ResultFile()));

    EXPECT_EQ(RunToEnd(scene), 0) << "the second run";
    ExpectNothingLostInside(installBefore, scene.installation.installDir);
    ExpectNothingLost(dataBefore, scene.dir / "Daten", archive);
  }
}

}  // namespace
}  // namespace qnd::test
