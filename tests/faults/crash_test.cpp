// A real directory run killed with SIGKILL before each file-system call of its archive step (the
// runner stops itself there, the test kills it), then the disk checked: the installation untouched
// or whatever is gone from it in the complete archive, the data folders as they were, and no result
// file (a run writes it only at its end). Then the run is started again, as a user would after a
// restart, and ends well, with every file of the first installation still in place or in an
// archive inside it (the second run archives the first run's verified archive with the rest).
// POSIX only.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <sstream>

#include "dir_updater/old_install_archive.h"
#include "platform/paths.h"
#include "tests/faults/nothing_lost.h"
#include "tests/faults/run_scene.h"

namespace qnd::test {
namespace {

const std::string kSep(1, platform::kPathSeparator);

std::vector<std::string> RunnerArguments(const RunScene& scene, std::size_t stopAt) {
  return {QND_CRASH_RUNNER, scene.installation.installDir, scene.dir / "ProgramData",
          std::to_string(stopAt)};
}

pid_t Start(const std::vector<std::string>& arguments, int output) {
  const pid_t pid = ::fork();
  if (pid == 0) {
    ::dup2(output, STDOUT_FILENO);
    std::vector<char*> argv;
    for (const std::string& argument : arguments)
      argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    ::execv(argv[0], argv.data());
    ::_exit(127);
  }
  return pid;
}

// Runs the runner to its end; its exit code (-1 when it did not exit) and what it printed.
int RunToEnd(const std::vector<std::string>& arguments, std::string& printed) {
  int pipe[2];
  if (::pipe(pipe) != 0) return -1;
  const pid_t pid = Start(arguments, pipe[1]);
  ::close(pipe[1]);
  char buffer[4096];
  for (ssize_t got; (got = ::read(pipe[0], buffer, sizeof buffer)) > 0;)
    printed.append(buffer, static_cast<std::size_t>(got));
  ::close(pipe[0]);
  int status = 0;
  ::waitpid(pid, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// Starts the runner, waits until it stops itself and kills it there; false when it never stopped.
bool KillWhenStopped(const std::vector<std::string>& arguments) {
  const pid_t pid = Start(arguments, STDOUT_FILENO);
  int status = 0;
  ::waitpid(pid, &status, WUNTRACED);
  if (!WIFSTOPPED(status)) return false;
  ::kill(pid, SIGKILL);
  ::waitpid(pid, &status, 0);
  return WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL;
}

TEST(CrashTest, KilledAnywhereInTheArchiveStepLosesNothing) {
  // The calls of a clean run, up to the last one of the archive step (on the installation or in
  // the temporary folder).
  std::size_t archiveCalls = 0;
  std::vector<std::string> calls;
  {
    RunScene scene(Program::Dir);
    std::string printed;
    ASSERT_EQ(RunToEnd(RunnerArguments(scene, 0), printed), 0) << printed;
    std::istringstream lines(printed);
    for (std::string line; std::getline(lines, line);) {
      calls.push_back(line);
      const std::string path = line.substr(line.find('\t') + 1);
      if (path.rfind(scene.installation.installDir + kSep, 0) == 0 ||
          path.rfind(scene.dir / "Temp", 0) == 0)
        archiveCalls = calls.size();
    }
  }
  ASSERT_GT(archiveCalls, 20u) << "the archive step made too few calls to be the real one";

  for (std::size_t n = 1; n <= archiveCalls; ++n) {
    SCOPED_TRACE("killed before call " + std::to_string(n) + ": " + calls[n - 1]);
    RunScene scene(Program::Dir);
    const Tree installBefore = Snapshot(scene.installation.installDir);
    const Tree dataBefore = Snapshot(scene.dir / "Daten");
    const std::string archive =
        platform::SystemFileSystem().TemporaryFolder() + kSep + dir::kArchiveName;

    ASSERT_TRUE(KillWhenStopped(RunnerArguments(scene, n)));

    ExpectNothingLost(installBefore, scene.installation.installDir, archive);
    ExpectNothingLost(dataBefore, scene.dir / "Daten", archive);
    ExpectNothingLostInside(installBefore, scene.installation.installDir);
    EXPECT_FALSE(platform::SystemFileSystem().FileExists(scene.ResultFile()));

    std::string printed;
    EXPECT_EQ(RunToEnd(RunnerArguments(scene, 0), printed), 0) << "the second run";
    ExpectNothingLostInside(installBefore, scene.installation.installDir);
    ExpectNothingLost(dataBefore, scene.dir / "Daten", archive);
  }
}

}  // namespace
}  // namespace qnd::test
