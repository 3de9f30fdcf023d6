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

std::error_code CopyBytes(int from, int to) {
  char buffer[65536];
  for (;;) {
    const ssize_t got = ::read(from, buffer, sizeof buffer);
    if (got < 0) {
      if (errno == EINTR) continue;
      return LastError();
    }
    if (got == 0) return {};
    if (const std::error_code error = WriteAll(to, std::string_view(buffer, got))) return error;
  }
}

// The new content of a file goes first into a hidden temporary file beside it, with a short name:
// an interrupted write leaves nothing in plain sight, and a name at the length limit still leaves
// room for it. Only the finished, flushed file is renamed over the old one, and the folder is
// flushed after it, so that the rename itself survives a crash.
class Replacement {
 public:
  explicit Replacement(const std::string& path)
      : path_(path), temporary_(TemporaryTemplate(path)), fd_(::mkstemp(temporary_.data())) {
    // Only a temporary file that was made is removed again.
    done_ = fd_.get() < 0;
  }
  ~Replacement() {
    if (!done_) ::unlink(temporary_.c_str());
  }
  Replacement(const Replacement&) = delete;
  Replacement& operator=(const Replacement&) = delete;

  /// -1 when the temporary file could not be made (errno tells why).
  int fd() const { return fd_.get(); }

  /// Gives the file `mode`'s bits and, where given, the times; flushes it and renames it over the
  /// path.
  std::error_code Commit(mode_t mode, const struct timespec* times) {
    if (::fchmod(fd_.get(), mode) != 0) return LastError();
    if (times != nullptr && ::futimens(fd_.get(), times) != 0) return LastError();
    if (::fsync(fd_.get()) != 0 || ::close(fd_.release()) != 0) return LastError();
    if (::rename(temporary_.c_str(), path_.c_str()) != 0) return LastError();
    done_ = true;
    FileDescriptor folder(::open(FolderOf(path_).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (folder.get() >= 0) ::fsync(folder.get());
    return {};
  }

 private:
  static std::string TemporaryTemplate(const std::string& path) {
    const std::size_t slash = path.find_last_of('/');
    return path.substr(0, slash == std::string::npos ? 0 : slash + 1) + ".qnd-new-XXXXXX";
  }

  std::string path_;
  std::string temporary_;
  FileDescriptor fd_;
  bool done_ = false;
};

}  // namespace

std::string FolderOf(const std::string& path) {
  const std::size_t slash = path.find_last_of('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

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

  Replacement replacement(path);
  if (replacement.fd() < 0) return LastError();
  if (const std::error_code error = WriteAll(replacement.fd(), bytes)) return error;
  return replacement.Commit(mode, nullptr);
}

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

  Replacement replacement(target);
  if (replacement.fd() < 0) return LastError();
  if (const std::error_code error = CopyBytes(in.get(), replacement.fd())) return error;
  // The access time is the copy's own; the modification time is the source's, as in Windows.
  const struct timespec times[2] = {{0, UTIME_NOW}, info.st_mtim};
  return replacement.Commit(info.st_mode & 07777, times);
}

}  // namespace qnd::platform::posix
