#include "platform/posix/file_io.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <string_view>

#include "platform/posix/file_descriptor.h"

namespace qnd::platform::posix {
namespace {

std::error_code WriteAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t written = ::write(fd, bytes.data(), bytes.size());
    if (written < 0) {
      if (errno == EINTR) continue;
      return LastError();
    }
    bytes.remove_prefix(static_cast<std::size_t>(written));
  }
  return {};
}

std::string FolderOf(const std::string& path) {
  const std::size_t slash = path.find_last_of('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

}  // namespace

std::error_code ReadFileBytes(const std::string& path, std::string& bytes) {
  FileDescriptor fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
  if (fd.get() < 0) return LastError();
  struct stat info {};
  if (::fstat(fd.get(), &info) != 0) return LastError();
  if (S_ISDIR(info.st_mode)) return std::make_error_code(std::errc::is_a_directory);
  std::string result;
  char buffer[65536];
  for (;;) {
    const ssize_t got = ::read(fd.get(), buffer, sizeof buffer);
    if (got < 0) {
      if (errno == EINTR) continue;
      return LastError();
    }
    if (got == 0) break;
    result.append(buffer, static_cast<std::size_t>(got));
  }
  bytes = std::move(result);
  return {};
}

std::error_code ReplaceFileAtomically(const std::string& path, const std::string& bytes) {
  mode_t mode = 0644;
  struct stat existing {};
  if (::stat(path.c_str(), &existing) == 0) mode = existing.st_mode & 07777;

  std::string temporary = path + ".XXXXXX";
  FileDescriptor fd(::mkstemp(temporary.data()));
  if (fd.get() < 0) return LastError();
  std::error_code error = WriteAll(fd.get(), bytes);
  if (!error && ::fchmod(fd.get(), mode) != 0) error = LastError();
  if (!error && ::fsync(fd.get()) != 0) error = LastError();
  if (!error && ::close(fd.release()) != 0) error = LastError();
  if (!error && ::rename(temporary.c_str(), path.c_str()) != 0) error = LastError();
  if (error) {
    ::unlink(temporary.c_str());
    return error;
  }
  // Make the rename itself durable.
  FileDescriptor folder(::open(FolderOf(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (folder.get() >= 0) ::fsync(folder.get());
  return {};
}

}  // namespace qnd::platform::posix
