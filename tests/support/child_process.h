// A program that a test starts as a process of its own, waits for, or kills abruptly, the way a
// crash or a pulled plug ends it: SIGKILL on POSIX, TerminateProcess on Windows, so the program
// runs no code of its own at the end.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace qnd::test {

class SpawnedProcess {
 public:
  /// Starts `program` (a path this process can run: under Wine a Windows path, see FromHostPath)
  /// with `arguments`, in this process's environment and current folder. On Windows each argument
  /// goes on the command line in double quotes, which the C runtime and dir::SplitCommandLine read
  /// alike as long as the argument is not empty, holds no double quote and does not end in a
  /// backslash; any other argument starts nothing.
  SpawnedProcess(const std::string& program, const std::vector<std::string>& arguments);
  /// Kills the process if it still runs, so that no test leaves one behind.
  ~SpawnedProcess();
  SpawnedProcess(const SpawnedProcess&) = delete;
  SpawnedProcess& operator=(const SpawnedProcess&) = delete;

  bool Started() const;
  /// The exit code once the process has ended, waiting at most `timeoutMs` for it (0: only looks);
  /// nullopt while it runs. A process that a signal ended (POSIX) gives -1.
  std::optional<int> WaitForExit(int timeoutMs);
  /// Ends the running process at once and waits until it is gone. False when it had ended before
  /// (or was never started), or the kill did not end it.
  bool Kill();

 private:
  struct Handle;
  std::unique_ptr<Handle> handle_;
};

}  // namespace qnd::test
