#include "tests/faults/nothing_lost.h"

#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

#include <optional>

#include "platform/paths.h"
#include "tests/dir_updater/zip_reader.h"
#include "tests/support/temp_dir.h"

namespace qnd::test {

std::vector<std::string> ExpectNothingLost(const Tree& before, const std::string& installation,
                                           const std::string& archivePath) {
  const Tree after = Snapshot(installation);
  const std::string folderName =
      installation.substr(installation.find_last_of(platform::kPathSeparator) + 1);
  std::vector<std::string> notInPlace;
  std::map<std::string, std::string> archived;
  bool archiveRead = false;
  for (const auto& [relative, kind] : before) {
    if (kind.rfind("file:", 0) != 0) continue;
    const auto now = after.find(relative);
    if (now != after.end() && now->second == kind) continue;
    notInPlace.push_back(relative);
    if (!archiveRead) {
      archived = ReadCompleteArchive(archivePath);
      archiveRead = true;
    }
    std::string entryName = folderName + '/' + relative;
    for (char& c : entryName) c = c == '/' ? platform::kPathSeparator : c;
    const auto entry = archived.find(entryName);
    if (entry == archived.end()) {
      ADD_FAILURE() << relative << " is gone from the installation and not in the archive";
    } else {
      EXPECT_EQ("file:" + entry->second, kind) << relative << " is gone, the archive differs";
    }
  }
  return notInPlace;
}

namespace {

// The files of a complete archive; nullopt for anything else, without failing the test.
std::optional<std::map<std::string, std::string>> QuietlyReadArchive(const std::string& bytes) {
  testing::TestPartResultArray failures;
  std::map<std::string, std::string> files;
  {
    const testing::ScopedFakeTestPartResultReporter quiet(
        testing::ScopedFakeTestPartResultReporter::INTERCEPT_ONLY_CURRENT_THREAD, &failures);
    files = CompleteArchiveFiles(bytes);
  }
  if (failures.size() > 0) return std::nullopt;
  return files;
}

// Every file of the archive `bytes` and of the archives in it, to any depth.
void CollectArchived(const std::string& bytes, std::multimap<std::string, std::string>& into) {
  const auto files = QuietlyReadArchive(bytes);
  if (!files) return;
  for (const auto& [name, data] : *files) {
    into.emplace(name, data);
    if (name.ends_with(".zip")) CollectArchived(data, into);
  }
}

}  // namespace

std::vector<std::string> ExpectNothingLostInside(const Tree& before,
                                                 const std::string& installation) {
  const Tree after = Snapshot(installation);
  std::multimap<std::string, std::string> archived;
  for (const auto& [relative, kind] : after) {
    if (relative.ends_with(".zip") && kind.rfind("file:", 0) == 0)
      CollectArchived(kind.substr(5), archived);
  }
  const std::string folderName =
      installation.substr(installation.find_last_of(platform::kPathSeparator) + 1);
  std::vector<std::string> notInPlace;
  for (const auto& [relative, kind] : before) {
    if (kind.rfind("file:", 0) != 0) continue;
    const auto now = after.find(relative);
    if (now != after.end() && now->second == kind) continue;
    notInPlace.push_back(relative);
    std::string entryName = folderName + '/' + relative;
    for (char& c : entryName) c = c == '/' ? platform::kPathSeparator : c;
    const auto [first, last] = archived.equal_range(entryName);
    bool found = false;
    for (auto entry = first; entry != last && !found; ++entry)
      found = "file:" + entry->second == kind;
    EXPECT_TRUE(found) << relative << " is gone from the installation and in no archive inside it";
  }
  return notInPlace;
}

std::vector<std::string> WithFolders(const std::string& relative) {
  std::vector<std::string> paths;
  for (std::size_t slash = relative.find('/'); slash != std::string::npos;
       slash = relative.find('/', slash + 1))
    paths.push_back(relative.substr(0, slash));
  paths.push_back(relative);
  return paths;
}

}  // namespace qnd::test
