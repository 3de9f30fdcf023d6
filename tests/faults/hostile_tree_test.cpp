// SaveQNDInst on installations that try to trick the walk or the deletion: links out of the
// installation, to its own parent and in a loop, names Windows does not allow, a path longer than
// Windows takes, files that vanish or grow while they are archived and a file locked by another
// program. Whatever happens, nothing outside the installation is touched, the walk ends, a file
// that cannot be archived exactly stays, and what is gone is in the complete archive.
#include <filesystem>
#include <fstream>

#include "tests/dir_updater/save_qnd_inst_fixture.h"
#include "tests/faults/nothing_lost.h"
#include "tests/support/host_shell.h"

#ifdef _WIN32
#include "platform/win32/wide.h"
#endif

namespace qnd::dir {
namespace {

namespace fs = std::filesystem;
using platform::FileCall;
using platform::FileOperation;
using test::Tree;

class HostileTreeTest : public SaveQNDInstTest {
 protected:
  HostileTreeTest() {
    root_.WriteFile("Extern/wichtig.txt", "nicht löschen");
    root_.WriteFile("Programme/Nachbar/auch.txt", "bleibt");
    PutSmallInstallation();
  }

  // Everything beside the installation: a folder elsewhere and a neighbour in its parent folder.
  Tree Around() const {
    Tree around;
    for (const char* folder : {"Extern", "Programme/Nachbar"}) {
      for (const auto& [name, kind] : test::Snapshot(root_ / folder))
        around[std::string(folder) + "/" + name] = kind;
    }
    return around;
  }

  // Saves, and checks what holds whatever the tree: nothing beside the installation is touched and
  // nothing of it is lost. Returns the status.
  Status SaveSafely() {
    const Tree around = Around();
    const Tree before = Installation();
    const Status status = Save();
    EXPECT_EQ(Around(), around);
    test::ExpectNothingLost(before, state_.TargetDir,
                            fileSystem_.temporaryFolder + kSep + kArchiveName);
    return status;
  }

  // Makes a symbolic link at `link` below the installation; false where the system makes none.
  bool Link(const std::string& target, const std::string& link) {
    return test::MakeSymbolicLink(target, Target(link));
  }
};

constexpr char kNoLinks[] = "Windows makes symbolic links only with a privilege";

TEST_F(HostileTreeTest, LinksOutOfTheInstallationAndLoopsAreNeitherWalkedNorDeleted) {
  if (!Link(root_ / "Extern", "Draussen") || !Link(root_ / "Programme", "Eltern") ||
      !Link(state_.TargetDir, "Sub/Zurueck") || !Link("Kreis2", "Kreis1") ||
      !Link("Kreis1", "Kreis2") || !Link("Selbst", "Selbst"))
    GTEST_SKIP() << kNoLinks;
  const Tree before = Installation();

  EXPECT_EQ(SaveSafely(), kStatusOk);

  EXPECT_EQ(ArchivedNames(),
            (std::vector<std::string>{EntryName("Sub/Deep/x.dat"), EntryName("Sub/y.dat"),
                                      EntryName("QuendStart.ini"), EntryName("z.dat")}));
  const std::set<std::string> listed = [this] {
    std::set<std::string> folders;
    for (const FileCall& call : calls_) {
      if (call.operation == FileOperation::List) folders.insert(call.path);
    }
    return folders;
  }();
  EXPECT_EQ(listed,
            (std::set<std::string>{Target(""), Target("Sub") + kSep, Target("Sub/Deep") + kSep}));
  // Wine lists no entry that it cannot follow: the links in a loop are not seen from Windows, and
  // are asked after on the Linux side.
  const bool loopsHidden = test::RunsUnderWine();
  Tree expected = {{"Draussen", "link"},
                   {"Eltern", "link"},
                   {"QuendStart.ini", before.at("QuendStart.ini")},
                   {"Sub", "folder"},
                   {"Sub/Zurueck", "link"},
                   {"qndaltinst.zip", "file:" + ArchiveBytes()}};
  for (const char* loop : {"Kreis1", "Kreis2", "Selbst"}) {
    if (loopsHidden) {
      EXPECT_EQ(test::RunHostShell("test -L " + test::ShellQuoted(test::HostPath(Target(loop)))), 0)
          << loop;
    } else {
      expected[loop] = "link";
    }
  }
  EXPECT_EQ(Installation(), expected);
}

// Names that Windows refuses or reserves are plain names elsewhere: archived as they are and
// deleted like any other file.
TEST_F(HostileTreeTest, NamesWindowsRefusesAreArchivedAsTheyAre) {
  if (platform::kPathSeparator == '\\')
    GTEST_SKIP() << "Windows makes no file of these names (\"a:b\" would be a stream of \"a\")";
  const std::vector<std::string> names = {"a:b",    "CON",    "nul.txt", "x?",
                                          "stern*", "punkt.", "leer ",   "<>|\""};
  for (const std::string& name : names) {
    std::error_code error;
    test::WriteFileBytes(Target("Sub/" + name), "Inhalt " + name);
    if (!fs::exists(test::FsPath(Target("Sub/" + name)), error) || error)
      GTEST_SKIP() << "this system does not take the name \"" << name << "\"";
  }

  EXPECT_EQ(SaveSafely(), kStatusOk);

  const std::vector<std::string> archived = ArchivedNames();
  for (const std::string& name : names) {
    EXPECT_NE(std::find(archived.begin(), archived.end(), EntryName("Sub/" + name)), archived.end())
        << name;
    EXPECT_FALSE(root_.Exists("Programme/Quendra/Sub/" + name)) << name;
  }
}

// 300 characters: beyond what Windows takes (the archive fails before anything is deleted), well
// within what POSIX takes (archived and deleted).
TEST_F(HostileTreeTest, PathOf300Characters) {
  const std::vector<std::string> folders = test::PutFileOfPathLength(state_.TargetDir, 300);
  const bool tooLong = platform::IsPathTooLong(std::string(300, 'a'));

  EXPECT_EQ(SaveSafely(), tooLong ? kStatusFailed : kStatusOk);

  EXPECT_EQ(NothingRemoved(), tooLong);
  EXPECT_EQ(test::RemoveFileOfPathLength(state_.TargetDir, folders), tooLong);
}

// A file deleted by someone else between the listing and its opening cannot be archived: the
// archive would be incomplete, so nothing is deleted.
TEST_F(HostileTreeTest, FileVanishingBeforeItIsOpenedFailsTheArchive) {
  const std::string vanishing = Target("Sub/y.dat");
  onCall_ = [&](const FileCall& call) {
    if (call.operation == FileOperation::Open && call.path == vanishing)
      fs::remove(test::FsPath(vanishing));
    return false;
  };
  const Tree before = Installation();

  EXPECT_EQ(Save(), kStatusFailed);

  Tree expected = before;
  expected.erase("Sub/y.dat");
  EXPECT_EQ(Installation(), expected);
  EXPECT_TRUE(NothingRemoved());
}

// A file deleted or grown by someone else while it is read. Windows keeps others from writing to
// it, and from deleting it, while it is open; POSIX cannot, so there the archive holds what was
// read and the file, no longer as archived, is not deleted (a grown file stays as it is now).
TEST_F(HostileTreeTest, FileVanishingOrGrowingWhileItIsReadIsNotLost) {
  const struct {
    const char* label;
    bool grow;
  } cases[] = {{"vanishing", false}, {"growing", true}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.label);
    fs::remove_all(test::FsPath(state_.TargetDir));
    PutSmallInstallation();
    const std::string path = Target("Sub/y.dat");
    bool changed = false;
    onCall_ = [&](const FileCall& call) {
      if (call.operation != FileOperation::Read || call.path != path || changed) return false;
      std::error_code error;
      if (c.grow) {
        std::ofstream(test::FsPath(path), std::ios::binary | std::ios::app) << "wächst";
        changed = fs::file_size(test::FsPath(path), error) > 2;
      } else {
        changed = fs::remove(test::FsPath(path), error);
      }
      return false;
    };

    EXPECT_EQ(SaveSafely(), kStatusOk);

    const Tree after = Installation();
    if (c.grow && changed) {
      EXPECT_EQ(after.at("Sub/y.dat"), "file:yywächst");
    } else {
      EXPECT_EQ(after.count("Sub/y.dat"), 0u);
    }
    EXPECT_EQ(after.count("z.dat"), 0u);
    onCall_ = nullptr;
  }
}

TEST_F(HostileTreeTest, FileLockedByAnotherProgramFailsTheArchive) {
#ifdef _WIN32
  const Tree around = Around();
  const Tree before = Installation();
  // Opened without any sharing, as a program that locks its file does.
  const HANDLE locker = ::CreateFileW(platform::win32::Widen(Target("Sub/y.dat")).c_str(),
                                      GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(locker, INVALID_HANDLE_VALUE);
  const Status status = Save();
  ::CloseHandle(locker);
  EXPECT_EQ(status, kStatusFailed);
  EXPECT_EQ(Around(), around);
  EXPECT_EQ(Installation(), before);
  EXPECT_TRUE(NothingRemoved());
#else
  GTEST_SKIP() << "POSIX has no locks that keep a reader out";
#endif
}

}  // namespace
}  // namespace qnd::dir
