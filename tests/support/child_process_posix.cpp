#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>

#include "platform/process.h"
#include "tests/support/child_process.h"

namespace qnd::test {

struct SpawnedProcess::Handle {
  pid_t pid = -1;
  std::optional<int> status;  // as waitpid reported it, once the process is reaped
};

SpawnedProcess::SpawnedProcess(const std::string& program,
                               const std::vector<std::string>& arguments) {
  // Built before fork: the child of a process with threads may only call what is safe in a
  // signal handler until it executes the program.
  std::vector<char*> argv{const_cast<char*>(program.c_str())};
  for (const std::string& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
  argv.push_back(nullptr);
  const pid_t pid = ::fork();
  if (pid == 0) {
    ::execv(argv[0], argv.data());
    ::_exit(127);
  }
  if (pid > 0) handle_ = std::make_unique<Handle>(Handle{pid, std::nullopt});
}

SpawnedProcess::~SpawnedProcess() {
  if (handle_ && !handle_->status) Kill();
}

bool SpawnedProcess::Started() const { return handle_ != nullptr; }

std::optional<int> SpawnedProcess::WaitForExit(int timeoutMs) {
  if (!handle_) return std::nullopt;
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  while (!handle_->status) {
    int status = 0;
    const pid_t reaped = ::waitpid(handle_->pid, &status, WNOHANG);
    if (reaped == handle_->pid) {
      handle_->status = status;
    } else if ((reaped < 0 && errno != EINTR) || std::chrono::steady_clock::now() >= deadline) {
      return std::nullopt;
    } else {
      platform::SleepMilliseconds(1);
    }
  }
  return WIFEXITED(*handle_->status) ? WEXITSTATUS(*handle_->status) : -1;
}

bool SpawnedProcess::Kill() {
  if (!handle_ || WaitForExit(0)) return false;
  ::kill(handle_->pid, SIGKILL);
  int status = 0;
  while (::waitpid(handle_->pid, &status, 0) < 0) {
    if (errno != EINTR) return false;
  }
  handle_->status = status;
  return WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL;
}

}  // namespace qnd::test
