#include "tests/faults/nothing_lost.h"

#include <gtest/gtest.h>

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

std::vector<std::string> WithFolders(const std::string& relative) {
  std::vector<std::string> paths;
  for (std::size_t slash = relative.find('/'); slash != std::string::npos;
       slash = relative.find('/', slash + 1))
    paths.push_back(relative.substr(0, slash));
  paths.push_back(relative);
  return paths;
}

}  // namespace qnd::test
