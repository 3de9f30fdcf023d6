#include "platform/file_handles.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>

#include "platform/posix/file_descriptor.h"
#include "platform/posix/file_io.h"
#include "platform/text.h"

namespace qnd::platform::posix {
namespace {

// Wine keeps the hidden and system bits as hexadecimal text ("0x2"); Samba writes the same text
// followed by a binary record, so only the leading number counts.
std::uint32_t HiddenAndSystemFromXattr(const std::string& path) {
  char text[64] = {};
  const ssize_t length = ::lgetxattr(path.c_str(), "user.DOSATTRIB", text, sizeof text - 1);
  if (length <= 2 || text[0] != '0' || (text[1] != 'x' && text[1] != 'X')) return 0;
  text[length] = '\0';
  const unsigned long bits = std::strtoul(text + 2, nullptr, 16);
  return static_cast<std::uint32_t>(bits) & (kAttributeHidden | kAttributeSystem);
}

std::uint32_t AttributesOf(const std::string& path, const std::string& name,
                           const struct stat& info, bool pointsToFolder) {
  std::uint32_t attributes = pointsToFolder ? kAttributeDirectory : kAttributeArchive;
  if (S_ISLNK(info.st_mode)) {
    attributes |= kAttributeReparsePoint;
  } else if (!(info.st_mode & S_IWUSR)) {
    attributes |= kAttributeReadOnly;
  }
  if (name.size() > 1 && name[0] == '.' && name != "..") attributes |= kAttributeHidden;
  return attributes | HiddenAndSystemFromXattr(path);
}

// "." and ".." first, then the order NTFS keeps.
int Rank(const std::string& name) { return name == "." ? 0 : name == ".." ? 1 : 2; }

// Sorts `entries` as NTFS lists them, each name's key made once rather than at every comparison.
void SortAsNtfs(std::vector<DirectoryEntry>& entries) {
  struct Keyed {
    int rank;
    NtfsOrderKey key;
    DirectoryEntry* entry;
  };
  std::vector<Keyed> keyed;
  keyed.reserve(entries.size());
  for (DirectoryEntry& entry : entries)
    keyed.push_back({Rank(entry.name), NtfsOrderKeyOf(entry.name), &entry});
  std::sort(keyed.begin(), keyed.end(), [](const Keyed& a, const Keyed& b) {
    if (a.rank != b.rank) return a.rank < b.rank;
    return a.key < b.key;
  });
  std::vector<DirectoryEntry> sorted;
  sorted.reserve(entries.size());
  for (const Keyed& one : keyed) sorted.push_back(std::move(*one.entry));
  entries = std::move(sorted);
}

// `time` as a Windows file time: 100 ns units since 1601.
FileTime FileTimeOf(const struct timespec& time) {
  constexpr std::int64_t kSecondsFrom1601To1970 = 11'644'473'600;
  return {(static_cast<std::int64_t>(time.tv_sec) + kSecondsFrom1601To1970) * 10'000'000 +
          time.tv_nsec / 100};
}

FileTime LastWriteOf(const struct stat& info) { return FileTimeOf(info.st_mtim); }

// Identity, size, modification and change time.
FileStamp StampOf(const struct stat& info) {
  return {static_cast<std::uint64_t>(info.st_dev), static_cast<std::uint64_t>(info.st_ino),
          static_cast<std::uint64_t>(info.st_size), LastWriteOf(info), FileTimeOf(info.st_ctim)};
}

std::error_code Closed() { return std::make_error_code(std::errc::bad_file_descriptor); }

// POSIX has no share modes: nothing keeps another process from writing to a file while it is read
// (advisory locks bind only programs that ask for them). What it can do is not follow a link and
// not block on a pipe or device, and refuse anything but a regular file.
class PosixInputFile final : public InputFile {
 public:
  // `opened`: the file's status at its opening, which the first Stamp hands over without asking
  // again.
  PosixInputFile(int fd, const struct stat& opened) : fd_(fd), opened_(opened) {}
  ~PosixInputFile() override { ::close(fd_); }
  PosixInputFile(const PosixInputFile&) = delete;
  PosixInputFile& operator=(const PosixInputFile&) = delete;

  std::error_code Read(char* buffer, std::size_t size, std::size_t& got) override {
    for (;;) {
      const ssize_t count = ::read(fd_, buffer, size);
      if (count >= 0) {
        got = static_cast<std::size_t>(count);
        return {};
      }
      if (errno != EINTR) return LastError();
    }
  }
  std::error_code Stamp(FileStamp& stamp) override {
    struct stat info = opened_;
    if (stampAsked_ && ::fstat(fd_, &info) != 0) return LastError();
    stampAsked_ = true;
    stamp = StampOf(info);
    return {};
  }

 private:
  int fd_;
  struct stat opened_;
  bool stampAsked_ = false;
};

class PosixOutputFile final : public OutputFile {
 public:
  PosixOutputFile(int fd, std::string folder) : fd_(fd), folder_(std::move(folder)) {}
  ~PosixOutputFile() override {
    if (fd_ >= 0) ::close(fd_);
  }
  PosixOutputFile(const PosixOutputFile&) = delete;
  PosixOutputFile& operator=(const PosixOutputFile&) = delete;

  std::error_code Write(const char* data, std::size_t size) override {
    if (fd_ < 0) return Closed();
    while (size > 0) {
      const ssize_t written = ::write(fd_, data, size);
      if (written < 0) {
        if (errno == EINTR) continue;
        return LastError();
      }
      data += written;
      size -= static_cast<std::size_t>(written);
    }
    return {};
  }
  std::error_code Seek(std::uint64_t offset) override {
    if (fd_ < 0) return Closed();
    if (::lseek(fd_, static_cast<off_t>(offset), SEEK_SET) < 0) return LastError();
    return {};
  }
  std::error_code Flush() override {
    if (fd_ < 0) return Closed();
    if (::fsync(fd_) != 0) return LastError();
    // The new file's directory entry; a file system that cannot sync folders has nothing to lose.
    const int folder = ::open(folder_.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folder >= 0) {
      const int result = ::fsync(folder);
      const int error = errno;
      ::close(folder);
      if (result != 0 && error != EINVAL && error != EROFS) return {error, std::generic_category()};
    }
    return {};
  }
  std::error_code Close() override {
    if (fd_ < 0) return Closed();
    const int fd = fd_;
    fd_ = -1;
    // The descriptor is gone even when close fails, so it is never closed twice.
    if (::close(fd) != 0) return LastError();
    return {};
  }
  std::error_code Stamp(FileStamp& stamp) override {
    if (fd_ < 0) return Closed();
    struct stat info {};
    if (::fstat(fd_, &info) != 0) return LastError();
    stamp = StampOf(info);
    return {};
  }

 private:
  int fd_;
  std::string folder_;
};

}  // namespace
}  // namespace qnd::platform::posix

namespace qnd::platform::handles {
// The body's own helpers above, and its LastError.
using namespace posix;

std::error_code ListFolder(const std::string& folder, std::vector<DirectoryEntry>& entries) {
  DIR* listing = ::opendir(folder.c_str());
  if (listing == nullptr) return LastError();
  std::vector<DirectoryEntry> result;
  for (;;) {
    errno = 0;
    const dirent* found = ::readdir(listing);
    if (found == nullptr) break;
    const std::string name = found->d_name;
    const std::string path = folder + name;
    struct stat info {};
    if (::lstat(path.c_str(), &info) != 0) {
      // An entry removed since readdir saw it is no longer there; any other failure (a path too
      // long, say) must not make an entry silently disappear from the listing.
      if (errno == ENOENT) continue;
      const int error = errno;
      ::closedir(listing);
      return {error, std::generic_category()};
    }
    struct stat target = info;
    const bool isLink = S_ISLNK(info.st_mode);
    if (isLink && ::stat(path.c_str(), &target) != 0) target = info;  // a link to nothing
    DirectoryEntry entry;
    entry.name = name;
    entry.attributes = AttributesOf(path, name, info, S_ISDIR(target.st_mode));
    entry.isLink = isLink;
    entry.size = S_ISREG(info.st_mode) ? static_cast<std::uint64_t>(info.st_size) : 0;
    entry.lastWrite = LastWriteOf(info);
    result.push_back(std::move(entry));
  }
  const int readError = errno;
  ::closedir(listing);
  if (readError != 0) return {readError, std::generic_category()};
  SortAsNtfs(result);
  entries = std::move(result);
  return {};
}

std::error_code OpenInputFile(const std::string& path, std::unique_ptr<InputFile>& file) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK);
  if (fd < 0) return LastError();
  struct stat info {};
  std::error_code error;
  if (::fstat(fd, &info) != 0) {
    error = LastError();
  } else if (!S_ISREG(info.st_mode)) {
    error = std::make_error_code(S_ISDIR(info.st_mode) ? std::errc::is_a_directory
                                                       : std::errc::invalid_argument);
  }
  if (error) {
    ::close(fd);
    return error;
  }
  // O_NONBLOCK stays: it means nothing for a regular file. Read-ahead matters for large files only.
  if (info.st_size >= (1 << 20)) ::posix_fadvise(fd, 0, 0, POSIX_FADV_SEQUENTIAL);
  file = std::make_unique<PosixInputFile>(fd, info);
  return {};
}

std::error_code CreateOutputFile(const std::string& path, std::unique_ptr<OutputFile>& file) {
  // Windows refuses to replace a read-only file; root would not be stopped by the mode bits.
  struct stat existing {};
  if (::lstat(path.c_str(), &existing) == 0 && S_ISREG(existing.st_mode) &&
      !(existing.st_mode & S_IWUSR))
    return std::make_error_code(std::errc::permission_denied);
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | O_NOFOLLOW, 0666);
  if (fd < 0) return LastError();
  file = std::make_unique<PosixOutputFile>(fd, FolderOf(path));
  return {};
}

// The content is read through a descriptor of the file itself. Between the last check and the
// unlink another process could still swap the file; the window is as short as POSIX allows
// without opening the folder itself.
std::error_code RemoveFileIfStamped(const std::string& path, const FileStamp& stamp,
                                    const FileSystem::ContentCheck& sameContent) {
  struct stat info {};
  if (::lstat(path.c_str(), &info) != 0) return LastError();
  if (!S_ISREG(info.st_mode) || !(StampOf(info) == stamp))
    return std::make_error_code(std::errc::operation_canceled);
  std::unique_ptr<InputFile> file;
  if (const std::error_code error = OpenInputFile(path, file)) return error;
  FileStamp opened;
  if (const std::error_code error = file->Stamp(opened)) return error;
  if (!(opened == stamp) || !sameContent(*file))
    return std::make_error_code(std::errc::operation_canceled);
  struct stat now {};
  if (::lstat(path.c_str(), &now) != 0) return LastError();
  if (!S_ISREG(now.st_mode) || !(StampOf(now) == stamp))
    return std::make_error_code(std::errc::operation_canceled);
  if (::unlink(path.c_str()) != 0) return LastError();
  return {};
}

// Windows refuses to replace a read-only file or a folder; root would not be stopped by the mode
// bits, so they are asked here.
std::error_code RenameFile(const std::string& from, const std::string& to) {
  struct stat existing {};
  if (::lstat(to.c_str(), &existing) == 0) {
    if (S_ISDIR(existing.st_mode)) return std::make_error_code(std::errc::is_a_directory);
    if (S_ISREG(existing.st_mode) && !(existing.st_mode & S_IWUSR))
      return std::make_error_code(std::errc::permission_denied);
  }
  if (::rename(from.c_str(), to.c_str()) != 0) return LastError();
  for (const std::string& folder : {FolderOf(to), FolderOf(from)}) {
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) continue;
    const int result = ::fsync(fd);
    const int error = errno;
    ::close(fd);
    if (result != 0 && error != EINVAL && error != EROFS) return {error, std::generic_category()};
  }
  return {};
}

// rmdir refuses a link, so only a real folder goes.
std::error_code RemoveEmptyFolder(const std::string& path) {
  if (::rmdir(path.c_str()) != 0) return LastError();
  return {};
}

}  // namespace qnd::platform::handles
