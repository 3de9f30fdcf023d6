#include "platform/posix/file_copy.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

#include "platform/posix/file_descriptor.h"

namespace qnd::platform::posix {
namespace {

std::error_code CopyBytes(int from, int to) {
  char buffer[65536];
  for (;;) {
    const ssize_t got = ::read(from, buffer, sizeof buffer);
    if (got < 0) {
      if (errno == EINTR) continue;
      return LastError();
    }
    if (got == 0) return {};
    for (ssize_t done = 0; done < got;) {
      const ssize_t written = ::write(to, buffer + done, static_cast<std::size_t>(got - done));
      if (written < 0) {
        if (errno == EINTR) continue;
        return LastError();
      }
      done += written;
    }
  }
}

// A short hidden name beside the target: an interrupted copy leaves nothing in plain sight, and a
// target name at the length limit still leaves room for it.
std::string TemporaryTemplate(const std::string& target) {
  const std::size_t slash = target.find_last_of('/');
  return target.substr(0, slash == std::string::npos ? 0 : slash + 1) + ".qnd-copy-XXXXXX";
}

}  // namespace

std::error_code CopyFileReplacing(const std::string& source, const std::string& target) {
  FileDescriptor in(::open(source.c_str(), O_RDONLY | O_CLOEXEC));
  if (in.get() < 0) return LastError();
  struct stat info {};
  if (::fstat(in.get(), &info) != 0) return LastError();
  if (!S_ISREG(info.st_mode))
    return std::make_error_code(S_ISDIR(info.st_mode) ? std::errc::is_a_directory
                                                      : std::errc::invalid_argument);

  struct stat existing {};
  if (::stat(target.c_str(), &existing) == 0 && S_ISDIR(existing.st_mode))
    return std::make_error_code(std::errc::is_a_directory);

  std::string temporary = TemporaryTemplate(target);
  FileDescriptor out(::mkstemp(temporary.data()));
  if (out.get() < 0) return LastError();
  // The access time is the copy's own; the modification time is the source's, as in Windows.
  const struct timespec times[2] = {{0, UTIME_NOW}, info.st_mtim};
  std::error_code error = CopyBytes(in.get(), out.get());
  if (!error && ::fchmod(out.get(), info.st_mode & 07777) != 0) error = LastError();
  if (!error && ::futimens(out.get(), times) != 0) error = LastError();
  if (!error && ::fsync(out.get()) != 0) error = LastError();
  if (!error && ::close(out.release()) != 0) error = LastError();
  if (!error && ::rename(temporary.c_str(), target.c_str()) != 0) error = LastError();
  if (error) ::unlink(temporary.c_str());
  return error;
}

}  // namespace qnd::platform::posix
