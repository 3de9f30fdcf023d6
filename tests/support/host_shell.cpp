#include "tests/support/host_shell.h"

#include "platform/paths.h"

namespace qnd::test {

std::string ShellQuoted(const std::string& text) {
  std::string quoted = "'";
  for (char c : text) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return quoted + "'";
}

bool MakeSymbolicLink(const std::string& target, const std::string& link) {
  if (!HostShellAvailable()) return false;
  const bool full = !target.empty() && (target.front() == platform::kPathSeparator ||
                                        (target.size() > 1 && target[1] == ':'));
  return RunHostShell("ln -s " + ShellQuoted(full ? HostPath(target) : target) + " " +
                      ShellQuoted(HostPath(link))) == 0;
}

}  // namespace qnd::test
