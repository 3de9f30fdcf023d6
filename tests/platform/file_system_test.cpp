// The file system's contract, against the body of this build (SystemFileSystem()): listing order
// and attributes, stamps, reading and writing, the checked removals the archive step relies on, and
// the creation of a chain of folders.
#include "platform/file_system.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "platform/paths.h"
#include "tests/support/install_tree.h"
#include "tests/support/temp_dir.h"

#ifdef _WIN32
#include "platform/win32/wide.h"
#endif

namespace qnd::platform {
namespace {

namespace fs = std::filesystem;

class FileSystemTest : public ::testing::Test {
 protected:
  std::string Folder() const { return dir_.Path() + kPathSeparator; }
  std::vector<DirectoryEntry> List() {
    std::vector<DirectoryEntry> entries;
    EXPECT_FALSE(fileSystem_.ListFolder(Folder(), entries));
    return entries;
  }
  FileStamp StampOf(const std::string& path) {
    std::unique_ptr<InputFile> file;
    FileStamp stamp;
    EXPECT_FALSE(fileSystem_.OpenForReading(path, file)) << path;
    if (file) {
      EXPECT_FALSE(file->Stamp(stamp));
    }
    return stamp;
  }

  test::TempDir dir_;
  FileSystem& fileSystem_ = SystemFileSystem();
};

TEST_F(FileSystemTest, ListsDotEntriesFirstThenInNtfsOrder) {
  const std::vector<std::string> names = {"10.txt",   "9.txt", "a b.txt",    "ab.txt",   "Beta.txt",
                                          "zeta.txt", "Zwerg", "_under.txt", "Ärger.txt"};
  for (auto it = names.rbegin(); it != names.rend(); ++it) dir_.WriteFile(*it, "");
  std::vector<std::string> listed;
  for (const DirectoryEntry& entry : List()) listed.push_back(entry.name);
  std::vector<std::string> expected = {".", ".."};
  expected.insert(expected.end(), names.begin(), names.end());
  EXPECT_EQ(listed, expected);
}

TEST_F(FileSystemTest, ListsAttributesSizeAndLastWriteTimeAsWindowsDoes) {
  const struct {
    const char* name;
    bool folder;
    std::uint32_t set, listed;
  } cases[] = {
      {"eben.txt", false, 0, 0x20},     {"versteckt.txt", false, 0x2, 0x22},
      {"system.dat", false, 0x4, 0x24}, {"nurlesen.txt", false, 0x1, 0x21},
      {"Ordner", true, 0, 0x10},        {"Verborgen", true, 0x2, 0x12},
  };
  for (const auto& c : cases) {
    if (c.folder) {
      dir_.MakeDir(c.name);
    } else {
      dir_.WriteFile(c.name, "12345");
      test::SetLocalWriteTime(dir_ / c.name, {2019, 11, 11, 14, 6, 22});
    }
    if (c.set) test::SetDosAttributes(dir_ / c.name, c.set);
  }
  const std::vector<DirectoryEntry> entries = List();
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const auto entry = std::find_if(entries.begin(), entries.end(),
                                    [&](const DirectoryEntry& e) { return e.name == c.name; });
    ASSERT_NE(entry, entries.end());
    EXPECT_EQ(entry->attributes, c.listed);
    EXPECT_FALSE(entry->isLink);
    if (c.folder) continue;
    EXPECT_EQ(entry->size, 5u);
    const std::optional<CalendarTime> local = ToLocalTime(entry->lastWrite);
    ASSERT_TRUE(local);
    EXPECT_EQ(
        std::tie(local->year, local->month, local->day, local->hour, local->minute, local->second),
        std::make_tuple(2019, 11, 11, 14, 6, 22));
    EXPECT_EQ(entry->lastWrite, StampOf(dir_ / c.name).lastWrite);
  }
}

#ifndef _WIN32
// Wine shows Linux names that start with "." as hidden, and links as reparse points; Windows hides
// no name by itself, and the test cannot make links under Wine.
TEST_F(FileSystemTest, DotNamesAreHiddenAndLinksAreReparsePoints) {
  dir_.WriteFile(".punkt", "");
  dir_.MakeDir(".ordner");
  fs::create_directory_symlink(test::FsPath(dir_ / ".ordner"), test::FsPath(dir_ / "ordnerlink"));
  fs::create_symlink(test::FsPath(dir_ / ".punkt"), test::FsPath(dir_ / "dateilink"));
  fs::create_symlink(test::FsPath(dir_ / "nichts"), test::FsPath(dir_ / "insleere"));
  const std::map<std::string, std::pair<std::uint32_t, bool>> expected = {
      {".", {0x10, false}},          {"..", {0x10, false}},        {".ordner", {0x12, false}},
      {".punkt", {0x22, false}},     {"dateilink", {0x420, true}}, {"insleere", {0x420, true}},
      {"ordnerlink", {0x410, true}},
  };
  std::map<std::string, std::pair<std::uint32_t, bool>> listed;
  for (const DirectoryEntry& entry : List()) listed[entry.name] = {entry.attributes, entry.isLink};
  EXPECT_EQ(listed, expected);

  std::unique_ptr<InputFile> file;
  EXPECT_EQ(fileSystem_.OpenForReading(dir_ / "dateilink", file),
            std::make_error_code(std::errc::too_many_symbolic_link_levels));
  EXPECT_TRUE(fileSystem_.RemoveEmptyFolder(dir_ / "ordnerlink"));
  EXPECT_TRUE(fs::is_symlink(fs::symlink_status(test::FsPath(dir_ / "ordnerlink"))));
}
#endif

TEST_F(FileSystemTest, WrittenFileReadsBackInPieces) {
  const std::string path = dir_ / "neu.zip";
  std::unique_ptr<OutputFile> out;
  ASSERT_FALSE(fileSystem_.CreateForWriting(path, out));
  ASSERT_FALSE(out->Write("0123456789", 10));
  ASSERT_FALSE(out->Seek(2));
  ASSERT_FALSE(out->Write("ab", 2));
  ASSERT_FALSE(out->Seek(10));
  ASSERT_FALSE(out->Write("!", 1));
  FileStamp written;
  ASSERT_FALSE(out->Stamp(written));
  ASSERT_FALSE(out->Flush());
  ASSERT_FALSE(out->Close());
  EXPECT_TRUE(out->Close()) << "closed once only";

  std::unique_ptr<InputFile> in;
  ASSERT_FALSE(fileSystem_.OpenForReading(path, in));
  std::string bytes;
  char piece[4];
  for (std::size_t got = 1; got != 0;) {
    ASSERT_FALSE(in->Read(piece, sizeof piece, got));
    bytes.append(piece, got);
  }
  EXPECT_EQ(bytes, "01ab456789!");
  FileStamp read;
  ASSERT_FALSE(in->Stamp(read));
  EXPECT_EQ(read.size, 11u);
  EXPECT_EQ(read.volume, written.volume);
  EXPECT_EQ(read.index, written.index);

  // An existing file is replaced; a read-only one is not.
  in.reset();
  ASSERT_FALSE(fileSystem_.CreateForWriting(path, out));
  ASSERT_FALSE(out->Close());
  EXPECT_EQ(fs::file_size(test::FsPath(path)), 0u);
  test::SetDosAttributes(path, 0x1);
  if (test::SystemWritesReadOnlyFile(path))
    GTEST_SKIP() << "this system writes to read-only files (Wine running as root)";
  EXPECT_TRUE(fileSystem_.CreateForWriting(path, out));
}

TEST_F(FileSystemTest, OpeningAFolderOrNothingFails) {
  dir_.MakeDir("Ordner");
  std::unique_ptr<InputFile> file;
  EXPECT_TRUE(fileSystem_.OpenForReading(dir_ / "Ordner", file));
  EXPECT_TRUE(fileSystem_.OpenForReading(dir_ / "fehlt", file));
  EXPECT_FALSE(file);
  std::vector<DirectoryEntry> entries;
  EXPECT_TRUE(fileSystem_.ListFolder(dir_ / "fehlt" + kPathSeparator, entries));
}

// The stamp first, then the bytes read just before the deletion through the file itself.
TEST_F(FileSystemTest, RemovesOnlyTheUnchangedFileReadOnlyOrNot) {
  dir_.WriteFile("bleibt.txt", "alt");
  dir_.WriteFile("geht.txt", "alt");
  dir_.WriteFile("nurlesen.txt", "alt");
  dir_.WriteFile("anders.txt", "alt");
  const FileStamp stays = StampOf(dir_ / "bleibt.txt");
  const FileStamp goes = StampOf(dir_ / "geht.txt");
  const FileStamp other = StampOf(dir_ / "anders.txt");
  test::SetDosAttributes(dir_ / "nurlesen.txt", 0x1);
  const FileStamp readOnly = StampOf(dir_ / "nurlesen.txt");
  dir_.WriteFile("bleibt.txt", "neu und länger");
  const auto canceled = std::make_error_code(std::errc::operation_canceled);
  std::string seen;
  const FileSystem::ContentCheck readsAlt = [&seen](InputFile& file) {
    char buffer[64];
    std::size_t got = 0;
    seen.clear();
    while (!file.Read(buffer, sizeof buffer, got) && got > 0) seen.append(buffer, got);
    return seen == "alt";
  };
  const FileSystem::ContentCheck refuses = [](InputFile&) { return false; };

  EXPECT_EQ(fileSystem_.RemoveFileIfUnchanged(dir_ / "bleibt.txt", stays, readsAlt), canceled);
  EXPECT_EQ(fileSystem_.RemoveFileIfUnchanged(dir_ / "geht.txt", stays, readsAlt), canceled)
      << "another file's stamp";
  EXPECT_EQ(fileSystem_.RemoveFileIfUnchanged(dir_ / "anders.txt", other, refuses), canceled)
      << "bytes other than the archived ones";
  EXPECT_FALSE(fileSystem_.RemoveFileIfUnchanged(dir_ / "geht.txt", goes, readsAlt));
  EXPECT_EQ(seen, "alt");
  EXPECT_FALSE(fileSystem_.RemoveFileIfUnchanged(dir_ / "nurlesen.txt", readOnly, readsAlt));
  EXPECT_TRUE(fileSystem_.RemoveFileIfUnchanged(dir_ / "geht.txt", goes, readsAlt))
      << "gone already";
  EXPECT_EQ(test::Snapshot(dir_.Path()),
            (test::Tree{{"anders.txt", "file:alt"}, {"bleibt.txt", "file:neu und länger"}}));
}

TEST_F(FileSystemTest, RenamesReplacingAFileButNotAReadOnlyOne) {
  dir_.WriteFile("neu.zip", "neu");
  dir_.WriteFile("alt.zip", "alt");
  dir_.WriteFile("fest.zip", "fest");
  test::SetDosAttributes(dir_ / "fest.zip", 0x1);
  EXPECT_FALSE(fileSystem_.RenameFile(dir_ / "neu.zip", dir_ / "alt.zip"));
  dir_.WriteFile("neu.zip", "neu");
  if (!test::SystemWritesReadOnlyFile(dir_ / "fest.zip")) {
    EXPECT_TRUE(fileSystem_.RenameFile(dir_ / "neu.zip", dir_ / "fest.zip"));
    EXPECT_EQ(dir_.ReadFile("fest.zip"), "fest");
  }
  EXPECT_TRUE(fileSystem_.RenameFile(dir_ / "fehlt.zip", dir_ / "alt.zip"));
  EXPECT_EQ(dir_.ReadFile("alt.zip"), "neu");
}

TEST_F(FileSystemTest, RemovesEmptyFoldersReadOnlyOrNot) {
  dir_.WriteFile("Voll/a.txt", "a");
  dir_.MakeDir("Leer");
  dir_.MakeDir("Geschützt");
  test::SetDosAttributes(dir_ / "Geschützt", 0x1);
  EXPECT_TRUE(fileSystem_.RemoveEmptyFolder(dir_ / "Voll"));
  EXPECT_FALSE(fileSystem_.RemoveEmptyFolder(dir_ / "Leer"));
  EXPECT_FALSE(fileSystem_.RemoveEmptyFolder(dir_ / "Geschützt"));
  EXPECT_EQ(test::Snapshot(dir_.Path()),
            (test::Tree{{"Voll", "folder"}, {"Voll/a.txt", "file:a"}}));
}

TEST_F(FileSystemTest, TemporaryFolderEndsWithASeparatorAndExists) {
  const std::string temp = fileSystem_.TemporaryFolder();
  ASSERT_FALSE(temp.empty());
  EXPECT_EQ(temp.back(), kPathSeparator);
  EXPECT_TRUE(fileSystem_.DirectoryExists(temp));
  EXPECT_TRUE(fileSystem_.EntryExists(dir_.Path()));
  EXPECT_FALSE(fileSystem_.EntryExists(dir_ / "fehlt"));
}

#ifdef _WIN32
// Share modes exist only on Windows: the archive being written is this program's alone, and a
// file being read cannot be written by anyone else meanwhile.
TEST_F(FileSystemTest, ShareModesKeepOthersOut) {
  const auto openElsewhere = [](const std::string& path, DWORD access) {
    const HANDLE handle = ::CreateFileW(win32::Widen(path).c_str(), access,
                                        FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                        nullptr, OPEN_EXISTING, 0, nullptr);
    if (handle != INVALID_HANDLE_VALUE) ::CloseHandle(handle);
    return handle != INVALID_HANDLE_VALUE;
  };
  std::unique_ptr<OutputFile> out;
  ASSERT_FALSE(fileSystem_.CreateForWriting(dir_ / "archiv.zip", out));
  EXPECT_FALSE(openElsewhere(dir_ / "archiv.zip", GENERIC_READ));
  ASSERT_FALSE(out->Close());

  std::unique_ptr<InputFile> in;
  ASSERT_FALSE(fileSystem_.OpenForReading(dir_ / "archiv.zip", in));
  EXPECT_TRUE(openElsewhere(dir_ / "archiv.zip", GENERIC_READ));
  EXPECT_FALSE(openElsewhere(dir_ / "archiv.zip", GENERIC_WRITE));
}
#endif

TEST(CreateDirectoriesTest, CreatesTheWholeChainOrFailsOnWhatStandsInTheWay) {
  const test::TempDir root;
  root.WriteFile("Datei", "kein Ordner");
  const std::string separator(1, kPathSeparator);
  const struct {
    const char* label;
    std::string path;
    bool created;
    const char* folder;  // relative to the root, "" for none
  } cases[] = {
      {"a chain of three", root / "Backup/2026/Dezember", true, "Backup/2026/Dezember"},
      {"trailing separators", root / "Formulare" + separator + separator, true, "Formulare"},
      {"a folder that exists", root.Path(), true, ""},
      {"a file in the way", root / "Datei/Unterordner", false, ""},
      {"a file of that name", root / "Datei", false, ""},
      {"no path", "", false, ""},
  };
  FileSystem& fileSystem = SystemFileSystem();
  for (const auto& c : cases) {
    SCOPED_TRACE(c.label);
    EXPECT_EQ(!fileSystem.CreateDirectories(c.path), c.created);
    if (*c.folder) {
      EXPECT_TRUE(fileSystem.DirectoryExists(root / c.folder));
    }
  }
  // Asked again, every folder of the chain is there already.
  EXPECT_FALSE(fileSystem.CreateDirectories(root / "Backup/2026/Dezember"));
  EXPECT_EQ(root.ReadFile("Datei"), "kein Ordner");
}

}  // namespace
}  // namespace qnd::platform
