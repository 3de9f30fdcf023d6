#include <sys/wait.h>

#include <cstdlib>

#include "tests/support/host_shell.h"

namespace qnd::test {

bool HostShellAvailable() { return true; }

bool RunsUnderWine() { return false; }

std::string HostPath(const std::string& path) { return path; }

std::string FromHostPath(const std::string& hostPath) { return hostPath; }

int RunHostShell(const std::string& command) {
  const int status = std::system(command.c_str());
  if (status == -1 || !WIFEXITED(status)) return -1;
  return WEXITSTATUS(status);
}

}  // namespace qnd::test
