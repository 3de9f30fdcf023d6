#include "platform/posix/folder_listing.h"

#include <dirent.h>
#include <sys/xattr.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>

#include "platform/posix/file_descriptor.h"
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

}  // namespace

FileTime FileTimeOf(const struct timespec& time) {
  constexpr std::int64_t kSecondsFrom1601To1970 = 11'644'473'600;
  return {(static_cast<std::int64_t>(time.tv_sec) + kSecondsFrom1601To1970) * 10'000'000 +
          time.tv_nsec / 100};
}

FileTime LastWriteOf(const struct stat& info) { return FileTimeOf(info.st_mtim); }

FileStamp StampOf(const struct stat& info) {
  return {static_cast<std::uint64_t>(info.st_dev), static_cast<std::uint64_t>(info.st_ino),
          static_cast<std::uint64_t>(info.st_size), LastWriteOf(info), FileTimeOf(info.st_ctim)};
}

std::error_code ListFolderLikeWine(const std::string& folder,
                                   std::vector<DirectoryEntry>& entries) {
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

}  // namespace qnd::platform::posix
