// The data backups on real files in a temporary folder, through the system's file system and shell.
// The shell's own limits are tested with the platform layer (tests/platform/shell_test.cpp).
#include "core/backups.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <set>
#include <vector>

#include "platform/paths.h"
#include "tests/support/install_tree.h"
#include "tests/support/recording_ui.h"
#include "tests/support/temp_dir.h"

#ifdef _WIN32
#include "platform/win32/wide.h"
#endif

namespace qnd {
namespace {

namespace fs = std::filesystem;
using test::FsPath;
using test::NamesIn;

const std::string kSep(1, platform::kPathSeparator);
constexpr char kCreateFolderError[] =
    "Das Backup-Verzeichnis konnte nicht erstellt werden\nDas Update wird abgebrochen!";

void MakeReadOnly(const std::string& path) {
  fs::permissions(FsPath(path),
                  fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                  fs::perm_options::remove);
}

bool IsReadOnly(const std::string& path) {
  return (fs::status(FsPath(path)).permissions() & fs::perms::owner_write) == fs::perms::none;
}

// POSIX hides names starting with "."; Windows needs the attribute as well.
void MakeHidden([[maybe_unused]] const std::string& path) {
#ifdef _WIN32
  ASSERT_TRUE(::SetFileAttributesW(platform::win32::Widen(path).c_str(), FILE_ATTRIBUTE_HIDDEN));
#endif
}

// Wine running as root writes to read-only files; Windows and the POSIX body do not.
bool SystemWritesReadOnlyFiles(const test::TempDir& dir) {
#ifdef _WIN32
  dir.WriteFile("probe", "x");
  MakeReadOnly(dir / "probe");
  return std::ofstream(FsPath(dir / "probe"), std::ios::app).good();
#else
  static_cast<void>(dir);
  return false;  // the POSIX body checks the mode bits itself, also for root
#endif
}

// Every ASCII letter in the other case: "Formulare.dbf" -> "fORMULARE.DBF".
std::string SwapCase(std::string name) {
  for (char& c : name) {
    if (c >= 'a' && c <= 'z')
      c = static_cast<char>(c - 'a' + 'A');
    else if (c >= 'A' && c <= 'Z')
      c = static_cast<char>(c - 'A' + 'a');
  }
  return name;
}

class BackupsTest : public ::testing::Test {
 protected:
  BackupsTest()
      : log_(ui_), context_{state_, log_, platform::SystemPlatform(), Program::LocalUpdater} {
    UseDataRoot("Daten");
  }

  // The data folders of an installation whose data root is `relativeRoot`.
  void UseDataRoot(const std::string& relativeRoot) {
    state_.DataRoot = dir_ / relativeRoot + kSep;
    state_.DataDir = state_.DataRoot + "Daten" + kSep;
    state_.FormsDir = state_.DataRoot + "Formulare" + kSep;
    state_.NkkDir = state_.DataRoot + "NKK" + kSep;
  }

  test::TempDir dir_;
  test::RecordingUi ui_;
  ProgressLog log_;
  UpdaterState state_;
  UpdaterContext context_;
};

struct Group {
  const char* label;
  Status (*backUp)(UpdaterContext&);
  const char* folder;  ///< below the data root
  std::vector<std::string> files;
};

const Group kGroups[] = {
    {"FormKatalog",
     BackupFormKatalog,
     "Formulare",
     {"Formulare.dbf", "Formulare.cdx", "Beiblaetter.dbf", "Beiblaetter.cdx", "Deckblaetter.dbf",
      "Deckblaetter.cdx"}},
    {"Faecherkanon", BackupFaecherkanon, "Daten", {"FAECHERKANON.dbf", "FaecherKanon.cdx"}},
    {"NKK",
     BackupNKK,
     "NKK",
     {"NKK_FAECHER.DBF", "NKK_Faecher.CDX", "NKK_NOTEN.DBF", "NKK_Noten.CDX"}},
};

class BackupGroupTest : public BackupsTest, public ::testing::WithParamInterface<Group> {
 protected:
  const std::vector<std::string>& Files() const { return GetParam().files; }
  std::string Folder() const { return state_.DataRoot + GetParam().folder + kSep; }
  std::string Source(std::size_t i) const { return Folder() + Files()[i]; }
  std::string Backup(std::size_t i) const { return Folder() + kBackupPrefix + Files()[i]; }
  bool Exists(const std::string& path) const { return fs::exists(FsPath(path)); }

  // Writes every file of the group (but `skip`) with `tag` in its bytes, and one the group leaves.
  void WriteSources(const std::string& tag, std::size_t skip = SIZE_MAX) const {
    for (std::size_t i = 0; i < Files().size(); ++i) {
      if (i != skip) test::WriteFileBytes(Source(i), Files()[i] + " " + tag + std::string(3, '\0'));
    }
    test::WriteFileBytes(Folder() + "Andere.dbf", "keine Sicherung");
  }
  Status Run() { return GetParam().backUp(context_); }
};

TEST_P(BackupGroupTest, BackupsEqualTheFilesWithTimeAndReadOnlyBit) {
  fs::create_directories(FsPath(Folder()));
  WriteSources("v1");
  const auto stamp = std::chrono::floor<std::chrono::seconds>(fs::file_time_type::clock::now()) -
                     std::chrono::hours(49);
  for (std::size_t i = 0; i < Files().size(); ++i)
    fs::last_write_time(FsPath(Source(i)), stamp - std::chrono::minutes(i));
  MakeReadOnly(Source(Files().size() - 1));

  ASSERT_EQ(Run(), kStatusOk);

  std::set<std::string> expected = {"Andere.dbf"};
  for (std::size_t i = 0; i < Files().size(); ++i) {
    SCOPED_TRACE(Files()[i]);
    EXPECT_EQ(test::ReadFileBytes(Backup(i)), test::ReadFileBytes(Source(i)));
    EXPECT_EQ(fs::last_write_time(FsPath(Backup(i))), stamp - std::chrono::minutes(i));
    EXPECT_EQ(IsReadOnly(Backup(i)), i == Files().size() - 1);
    expected.insert(Files()[i]);
    expected.insert(kBackupPrefix + Files()[i]);
  }
  EXPECT_EQ(NamesIn(Folder()), expected);
  EXPECT_TRUE(ui_.Events().empty());
}

TEST_P(BackupGroupTest, SecondRunReplacesTheBackups) {
  fs::create_directories(FsPath(Folder()));
  WriteSources("erster Lauf");
  ASSERT_EQ(Run(), kStatusOk);
  WriteSources("zweiter Lauf, länger");
  ASSERT_EQ(Run(), kStatusOk);
  for (std::size_t i = 0; i < Files().size(); ++i)
    EXPECT_EQ(test::ReadFileBytes(Backup(i)), test::ReadFileBytes(Source(i))) << Files()[i];
}

TEST_P(BackupGroupTest, MissingFileStopsTheGroupThere) {
  for (std::size_t missing = 0; missing < Files().size(); ++missing) {
    SCOPED_TRACE("missing " + Files()[missing]);
    UseDataRoot("Lauf" + std::to_string(missing));
    fs::create_directories(FsPath(Folder()));
    WriteSources("v1", missing);

    EXPECT_EQ(Run(), kStatusFailed);
    for (std::size_t i = 0; i < Files().size(); ++i)
      EXPECT_EQ(Exists(Backup(i)), i < missing) << Files()[i];
  }
  EXPECT_TRUE(ui_.Events().empty());
}

TEST_P(BackupGroupTest, ReadOnlyBackupIsNotReplacedAndStopsTheGroup) {
  if (SystemWritesReadOnlyFiles(dir_))
    GTEST_SKIP() << "this system writes to read-only files (Wine running as root)";
  fs::create_directories(FsPath(Folder()));
  WriteSources("neu");
  test::WriteFileBytes(Backup(1), "alt");
  MakeReadOnly(Backup(1));

  EXPECT_EQ(Run(), kStatusFailed);
  EXPECT_EQ(test::ReadFileBytes(Backup(0)), test::ReadFileBytes(Source(0)));
  EXPECT_EQ(test::ReadFileBytes(Backup(1)), "alt");
  for (std::size_t i = 2; i < Files().size(); ++i) EXPECT_FALSE(Exists(Backup(i))) << Files()[i];
  EXPECT_TRUE(ui_.Events().empty());
}

// Windows matches names itself; the POSIX body looks them up. An existing backup in another case
// is replaced, not joined by a second one; a new backup gets the product's spelling.
TEST_P(BackupGroupTest, NamesMatchWithoutRegardToCase) {
  fs::create_directories(FsPath(Folder()));
  std::set<std::string> expected;
  for (std::size_t i = 0; i < Files().size(); ++i) {
    test::WriteFileBytes(Folder() + SwapCase(Files()[i]), "Daten " + std::to_string(i));
    expected.insert(SwapCase(Files()[i]));
    if (i % 2 == 0) test::WriteFileBytes(Folder() + SwapCase(kBackupPrefix + Files()[i]), "alt");
  }

  ASSERT_EQ(Run(), kStatusOk);

  for (std::size_t i = 0; i < Files().size(); ++i) {
    const std::string backup =
        i % 2 == 0 ? SwapCase(kBackupPrefix + Files()[i]) : kBackupPrefix + Files()[i];
    EXPECT_EQ(test::ReadFileBytes(Folder() + backup), "Daten " + std::to_string(i)) << backup;
    expected.insert(backup);
  }
  EXPECT_EQ(NamesIn(Folder()), expected);
}

INSTANTIATE_TEST_SUITE_P(AllGroups, BackupGroupTest, ::testing::ValuesIn(kGroups),
                         [](const ::testing::TestParamInfo<Group>& info) {
                           return std::string(info.param.label);
                         });

class FormHilfePfadTest : public BackupsTest {
 protected:
  std::string Source(const std::string& name = "") const {
    return state_.DataRoot + "Formulierungen" + kSep + name;
  }
  std::string Backup(const std::string& name = "") const {
    return state_.DataRoot + "QND_Bkp_Formulierungen" + kSep + name;
  }
};

TEST_F(FormHilfePfadTest, CopiesEveryFileDirectlyInsideAndNoSubfolder) {
  const std::vector<std::string> files = {"Satz.txt", "ohnepunkt", ".versteckt", "fest.txt"};
  dir_.WriteFile("Daten/Formulierungen/Unterordner/innen.txt", "innen");
  for (const std::string& name : files) test::WriteFileBytes(Source(name), name + " v1");
  MakeHidden(Source(".versteckt"));
  MakeReadOnly(Source("fest.txt"));

  ASSERT_EQ(BackupFormHilfePfad(context_), kStatusOk);
  EXPECT_EQ(NamesIn(Backup()), std::set<std::string>(files.begin(), files.end()));
  for (const std::string& name : files)
    EXPECT_EQ(test::ReadFileBytes(Backup(name)), name + " v1") << name;

  // The second run replaces the backups, read-only ones too.
  fs::permissions(FsPath(Source("fest.txt")), fs::perms::owner_write, fs::perm_options::add);
  for (const std::string& name : files) test::WriteFileBytes(Source(name), name + " v2");
  MakeReadOnly(Backup("Satz.txt"));
  MakeReadOnly(Backup("fest.txt"));
  ASSERT_EQ(BackupFormHilfePfad(context_), kStatusOk);
  for (const std::string& name : files)
    EXPECT_EQ(test::ReadFileBytes(Backup(name)), name + " v2") << name;
  EXPECT_TRUE(ui_.Events().empty());
}

TEST_F(FormHilfePfadTest, NothingToCopySucceeds) {
  const struct {
    const char* root;
    const char* contents;  // nullptr: an empty folder
  } cases[] = {{"Leer", nullptr}, {"NurUnterordner", "Unterordner/innen.txt"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.root);
    UseDataRoot(c.root);
    if (c.contents)
      dir_.WriteFile(std::string(c.root) + "/Formulierungen/" + c.contents, "x");
    else
      dir_.MakeDir(std::string(c.root) + "/Formulierungen");

    EXPECT_EQ(BackupFormHilfePfad(context_), kStatusOk);
    EXPECT_TRUE(NamesIn(Backup()).empty());
  }
  EXPECT_TRUE(ui_.Events().empty());
}

TEST_F(FormHilfePfadTest, MissingSourceFolderFailsWithoutBox) {
  dir_.MakeDir("Daten");
  EXPECT_EQ(BackupFormHilfePfad(context_), platform::kShellPathNotFound);
  EXPECT_TRUE(NamesIn(Backup()).empty());
  EXPECT_TRUE(ui_.Events().empty());
}

TEST_F(FormHilfePfadTest, BackupFolderThatCannotBeCreatedIsShown) {
  const struct {
    const char* root;
    const char* fileInTheWay;
  } cases[] = {{"Datei/Quendra", "Datei"}, {"Daten", "Daten/QND_Bkp_Formulierungen"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.fileInTheWay);
    test::RecordingUi ui;
    ProgressLog log(ui);
    UpdaterContext context{state_, log, platform::SystemPlatform(), Program::DirUpdater};
    UseDataRoot(c.root);
    dir_.WriteFile(c.fileInTheWay, "Datei");

    EXPECT_EQ(BackupFormHilfePfad(context), kStatusFailed);
    EXPECT_EQ(ui.ErrorTexts(), std::vector<std::string>{kCreateFolderError});
    EXPECT_EQ(ui.Events().size(), 1u);
    EXPECT_EQ(test::ReadFileBytes(dir_ / c.fileInTheWay), "Datei");
  }
}

}  // namespace
}  // namespace qnd
