#include "tests/support/install_tree.h"

#include <gtest/gtest.h>

#include <chrono>
#include <ctime>
#include <fstream>

#include "tests/support/temp_dir.h"

#ifdef _WIN32
#include "platform/win32/wide.h"
#else
#include <sys/xattr.h>
#endif

namespace qnd::test {
namespace fs = std::filesystem;

fs::path FsPath(const std::string& utf8) {
  return fs::path(std::u8string(utf8.begin(), utf8.end()));
}

std::set<std::string> NamesIn(const std::string& folder) {
  std::set<std::string> names;
  for (const fs::directory_entry& entry : fs::directory_iterator(FsPath(folder))) {
    const std::u8string name = entry.path().filename().u8string();
    names.emplace(name.begin(), name.end());
  }
  return names;
}

namespace {

// Windows' std::filesystem sees no links; they are reparse points. Under Wine a Linux link that
// leads nowhere (or round in a loop) is listed, but has no attributes at all.
bool IsLink(const fs::path& path, const fs::file_status& status) {
#ifdef _WIN32
  (void)status;
  const DWORD attributes = ::GetFileAttributesW(path.c_str());
  return attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_REPARSE_POINT);
#else
  (void)path;
  return fs::is_symlink(status);
#endif
}

}  // namespace

Tree Snapshot(const std::string& folder) {
  Tree tree;
  const fs::path root = FsPath(folder);
  for (auto it = fs::recursive_directory_iterator(root); it != fs::recursive_directory_iterator();
       ++it) {
    const std::u8string relative = it->path().lexically_relative(root).generic_u8string();
    const std::string key(relative.begin(), relative.end());
    const fs::file_status status = it->symlink_status();
    if (IsLink(it->path(), status)) {
      tree[key] = "link";
      it.disable_recursion_pending();
    } else if (fs::is_directory(status)) {
      tree[key] = "folder";
    } else {
      std::u8string path = it->path().u8string();
      tree[key] = "file:" + ReadFileBytes(std::string(path.begin(), path.end()));
    }
  }
  return tree;
}

void SetDosAttributes(const std::string& path, std::uint32_t attributes) {
#ifdef _WIN32
  const DWORD current = ::GetFileAttributesW(platform::win32::Widen(path).c_str());
  ASSERT_NE(current, INVALID_FILE_ATTRIBUTES) << path;
  ASSERT_TRUE(::SetFileAttributesW(platform::win32::Widen(path).c_str(),
                                   (current & ~DWORD{0x7}) | (attributes & 0x7)))
      << path;
#else
  const std::string text = "0x" + std::to_string(attributes & 0x6);
  ASSERT_EQ(::setxattr(path.c_str(), "user.DOSATTRIB", text.data(), text.size(), 0), 0) << path;
  if (attributes & 0x1) {
    fs::permissions(FsPath(path),
                    fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                    fs::perm_options::remove);
  }
#endif
}

bool SystemWritesReadOnlyFile([[maybe_unused]] const std::string& path) {
#ifdef _WIN32
  return std::ofstream(FsPath(path), std::ios::app).good();
#else
  return false;
#endif
}

void SetLocalWriteTime(const std::string& path, const platform::CalendarTime& local) {
  std::tm fields{};
  fields.tm_year = local.year - 1900;
  fields.tm_mon = local.month - 1;
  fields.tm_mday = local.day;
  fields.tm_hour = local.hour;
  fields.tm_min = local.minute;
  fields.tm_sec = local.second;
  fields.tm_isdst = -1;  // whatever daylight saving that day has
  const std::time_t since1970 = std::mktime(&fields);
  ASSERT_NE(since1970, std::time_t(-1));
  const auto system = std::chrono::system_clock::from_time_t(since1970);
  fs::last_write_time(FsPath(path), std::chrono::file_clock::from_sys(system));
}

std::vector<std::string> PutFileOfPathLength(const std::string& installation, std::size_t length) {
  std::vector<std::string> folders;
  std::size_t used = installation.size();
  do {
    folders.push_back(std::string(100, static_cast<char>('a' + folders.size() % 26)));
    used += 1 + folders.back().size();
  } while (length - used > 150);
  const fs::path start = fs::current_path();
  fs::current_path(FsPath(installation));
  for (const std::string& folder : folders) {
    fs::create_directory(folder);
    fs::current_path(folder);
  }
  WriteFileBytes(std::string(length - used - 1, 'f'), "tief");
  fs::current_path(start);
  return folders;
}

bool RemoveFileOfPathLength(const std::string& installation,
                            const std::vector<std::string>& folders) {
  const fs::path start = fs::current_path();
  fs::current_path(FsPath(installation));
  std::size_t depth = 0;
  while (depth < folders.size() && fs::is_directory(folders[depth]))
    fs::current_path(folders[depth++]);
  bool fileFound = false;
  if (depth == folders.size()) {
    for (const fs::directory_entry& entry : fs::directory_iterator(".")) {
      fileFound = true;
      fs::remove(entry.path());
    }
  }
  for (; depth > 0; --depth) {
    fs::current_path("..");
    fs::remove(folders[depth - 1]);
  }
  fs::current_path(start);
  return fileFound;
}

}  // namespace qnd::test
