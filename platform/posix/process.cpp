#include "platform/process.h"

#include <time.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>

namespace qnd::platform {

std::string RunningProgramPath() {
  char buffer[PATH_MAX + 1];
  const ssize_t length = ::readlink("/proc/self/exe", buffer, PATH_MAX);
  if (length <= 0) return {};
  return std::string(buffer, static_cast<std::size_t>(length));
}

namespace {
class PosixProcessInfo final : public ProcessInfo {
 public:
  Wow64 QueryWow64() override { return Wow64::No; }
};
}  // namespace

ProcessInfo& SystemProcessInfo() {
  static PosixProcessInfo info;
  return info;
}

std::string CurrentDirectory() {
  char buffer[PATH_MAX + 1];
  return ::getcwd(buffer, sizeof buffer) ? std::string(buffer) : std::string();
}

std::optional<std::string> RawCommandLine() { return std::nullopt; }

void SleepMilliseconds(int milliseconds) {
  timespec remaining{milliseconds / 1000, static_cast<long>(milliseconds % 1000) * 1000000L};
  while (::nanosleep(&remaining, &remaining) != 0 && errno == EINTR) {
  }
}

void EndProcessNow(int code) { std::_Exit(code); }

}  // namespace qnd::platform
