// A file descriptor that closes itself, and errno as an error code (internal to platform/posix).
#pragma once

#include <unistd.h>

#include <cerrno>
#include <system_error>

namespace qnd::platform::posix {

/// errno as an error code in the generic category.
inline std::error_code LastError() { return {errno, std::generic_category()}; }

class FileDescriptor {
 public:
  explicit FileDescriptor(int fd) : fd_(fd) {}
  ~FileDescriptor() {
    if (fd_ >= 0) ::close(fd_);
  }
  FileDescriptor(const FileDescriptor&) = delete;
  FileDescriptor& operator=(const FileDescriptor&) = delete;
  int get() const { return fd_; }
  /// Hands the descriptor over; the object no longer closes it.
  int release() {
    const int fd = fd_;
    fd_ = -1;
    return fd;
  }

 private:
  int fd_;
};

}  // namespace qnd::platform::posix
