#include "dir_updater/install_walk.h"

#include "dir_updater/archive_error.h"

namespace qnd::dir {
namespace {

bool IsDotOrDotDot(const std::string& name) { return name == "." || name == ".."; }

}  // namespace

bool IsExcluded(std::uint32_t attributes, std::uint32_t mask) {
  const std::uint32_t excluded = ~mask & (platform::kAttributeHidden | platform::kAttributeSystem |
                                          platform::kAttributeDirectory);
  return (attributes & excluded) != 0;
}

std::string ParentFolderOf(const std::string& dir, char separator) {
  std::string parent = dir.substr(0, dir.empty() ? 0 : dir.size() - 1);
  while (!parent.empty() && parent.back() != separator) parent.pop_back();
  return parent;
}

std::string EntryPrefix(const std::string& dir, const std::string& base) {
  std::string prefix = dir;
  const std::size_t at = prefix.find(base);
  if (!base.empty() && at != std::string::npos) prefix.erase(at, base.size());
  return prefix;
}

InstallWalk::InstallWalk(platform::FileSystem& fileSystem, std::string ownProgramPath,
                         AddFile addFile)
    : fileSystem_(fileSystem),
      ownProgramPath_(std::move(ownProgramPath)),
      addFile_(std::move(addFile)) {}

void InstallWalk::ZipFolder(std::string dir, std::string base) {
  const bool isStart = base.empty();
  dir += platform::kPathSeparator;
  if (isStart) base = ParentFolderOf(dir);

  // Listed once for its sub-folders and its files.
  const std::vector<platform::DirectoryEntry> entries = List(dir);
  for (const platform::DirectoryEntry& entry : entries) {
    if (IsExcluded(entry.attributes, kFolderMask) ||
        !(entry.attributes & platform::kAttributeDirectory) || IsDotOrDotDot(entry.name))
      continue;
    // A link to a folder elsewhere is not this installation's to archive or empty.
    if (entry.isLink) continue;
    ZipFolder(dir + entry.name, base);
  }
  const bool heldEntries = ZipFilesOfFolder(dir, base, entries);
  if (!isStart) folders_.push_back({dir.substr(0, dir.size() - 1), heldEntries});
}

bool InstallWalk::ZipFilesOfFolder(const std::string& dir, const std::string& base,
                                   const std::vector<platform::DirectoryEntry>& entries) {
  const std::string prefix = EntryPrefix(dir, base);
  bool heldEntries = false;
  for (const platform::DirectoryEntry& entry : entries) {
    if (IsDotOrDotDot(entry.name)) continue;
    heldEntries = true;
    if (IsExcluded(entry.attributes, kFileMask) ||
        (entry.attributes & platform::kAttributeDirectory) || entry.isLink)
      continue;
    const std::string path = dir + entry.name;
    if (path == ownProgramPath_) continue;
    if (platform::IsPathTooLong(path)) throw ArchiveError("path too long: " + path);
    addFile_(path, prefix + entry.name, entry);
  }
  return heldEntries;
}

// Windows lists a folder through the pattern folder + "*.*", which must fit the path limit too.
std::vector<platform::DirectoryEntry> InstallWalk::List(const std::string& dir) {
  if (platform::IsPathTooLong(dir + "*.*")) throw ArchiveError("path too long: " + dir);
  std::vector<platform::DirectoryEntry> entries;
  ThrowIfFailed(fileSystem_.ListFolder(dir, entries), "listing", dir);
  return entries;
}

}  // namespace qnd::dir
