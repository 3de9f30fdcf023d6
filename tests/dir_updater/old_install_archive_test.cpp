// SaveQNDInst on real folders: what the archive holds and in which order, how it reads back, what
// the deletion removes and what it leaves, and the failures that stop it before anything is gone.
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <utility>

#include "tests/dir_updater/external_readers.h"
#include "tests/dir_updater/sample_bytes.h"
#include "tests/dir_updater/save_qnd_inst_fixture.h"
#include "tests/support/host_shell.h"

#ifdef _WIN32
#include "platform/win32/wide.h"
#endif

namespace qnd::dir {
namespace {

namespace fs = std::filesystem;
using test::Tree;

std::string File(const std::string& bytes) { return "file:" + bytes; }

TEST_F(SaveQNDInstTest, ArchivesDepthFirstAndEmptiesTheInstallation) {
  PutSmallInstallation();
  Put("Fächer/Übersicht.txt", "Mathematik, Deutsch");
  root_.MakeDir("Programme/Quendra/Leer");
  const Tree before = Installation();

  ASSERT_EQ(Save(), kStatusOk);

  const std::string archive = ArchiveBytes();
  const test::ZipContents zip = test::ParseZip(archive);
  const std::vector<std::string> expected = {EntryName("Fächer/Übersicht.txt"),
                                             EntryName("Sub/Deep/x.dat"), EntryName("Sub/y.dat"),
                                             EntryName("QuendStart.ini"), EntryName("z.dat")};
  EXPECT_EQ(ArchivedNames(), expected);
  ASSERT_EQ(zip.local.size(), expected.size());
  for (const test::LocalHeader& entry : zip.local) {
    SCOPED_TRACE(entry.name);
    std::string relative = entry.name.substr(std::string("Quendra").size() + 1);
    std::replace(relative.begin(), relative.end(), platform::kPathSeparator, '/');
    const std::string original = before.at(relative).substr(5);
    EXPECT_EQ(test::InflateEntry(archive, entry), original);
    EXPECT_EQ(entry.crc, test::Crc32(original));
    EXPECT_EQ(entry.flags, 0x0800);
    EXPECT_EQ(entry.method, 8);
  }
  for (const test::CentralHeader& entry : zip.central) {
    EXPECT_EQ(entry.versionMadeBy, 20) << entry.name;
    EXPECT_EQ(entry.externalAttributes, 0x20u) << entry.name;
  }
  for (const test::ReaderVerdict& verdict :
       test::ReadWithExternalReaders(Temp("qndaltinst.zip"), root_.Path())) {
    EXPECT_TRUE(verdict.passed) << verdict.reader << ": " << verdict.details;
    if (verdict.namesAsStored) {
      std::vector<std::string> shown = expected;
      for (std::string& name : shown) {
        if (verdict.slashForBackslash) std::replace(name.begin(), name.end(), '\\', '/');
      }
      EXPECT_EQ(verdict.names, shown) << verdict.reader;
    } else {
      EXPECT_EQ(verdict.names.size(), expected.size()) << verdict.reader;
    }
  }

  // Emptied sub-folders go, and so does a folder that was empty before; the installation
  // directory stays.
  const Tree after = {{"QuendStart.ini", before.at("QuendStart.ini")},
                      {"qndaltinst.zip", File(archive)}};
  EXPECT_EQ(Installation(), after);
  EXPECT_EQ(test::ReadFileBytes(Temp("QuendStart.ini")), before.at("QuendStart.ini").substr(5));

  // The archive, and then its copy in the installation, were on disk and closed before the first
  // file went.
  std::vector<std::string> untilFirstRemoval;
  for (const platform::FileCall& call : calls_) {
    if (call.operation == platform::FileOperation::Delete) break;
    if (call.operation == platform::FileOperation::Flush ||
        call.operation == platform::FileOperation::Close)
      untilFirstRemoval.push_back(platform::FileOperationName(call.operation));
  }
  EXPECT_EQ(untilFirstRemoval, (std::vector<std::string>{"flush", "close", "flush", "close"}));
  EXPECT_EQ(window_.Notes(),
            (std::vector<std::string>{"BusyCursor", "Pump", "RestoreCursor", "Pump"}));
  EXPECT_TRUE(window_.ui.Lines().empty());
}

TEST_F(SaveQNDInstTest, DosTimeIsTheLocalLastWriteTime) {
  const struct {
    const char* file;
    platform::CalendarTime local;
    std::uint16_t date, time;
  } cases[] = {
      {"winter.dat", {2019, 11, 11, 14, 6, 22}, 0x4F6B, 0x70CB},
      {"sommer.dat", {2019, 7, 1, 9, 30, 5}, 0x4EE1, 0x4BC2},
      {"alt.dat", {1979, 12, 31, 12, 0, 0}, 0, 0},
  };
  for (const auto& c : cases) {
    Put(c.file, c.file);
    test::SetLocalWriteTime(Target(c.file), c.local);
  }
  ASSERT_EQ(Save(), kStatusOk);
  const test::ZipContents zip = test::ParseZip(ArchiveBytes());
  for (const auto& c : cases) {
    const auto entry = std::find_if(zip.central.begin(), zip.central.end(),
                                    [&](const auto& h) { return h.name == EntryName(c.file); });
    ASSERT_NE(entry, zip.central.end()) << c.file;
    EXPECT_EQ(entry->date, c.date) << c.file;
    EXPECT_EQ(entry->time, c.time) << c.file;
    EXPECT_EQ(zip.local[entry - zip.central.begin()].date, c.date) << c.file;
  }
}

// Hidden, system and read-only files go into the archive and out of the installation; hidden and
// system sub-folders stay out of both.
TEST_F(SaveQNDInstTest, HiddenAndSystemFoldersStayOutHiddenSystemAndReadOnlyFilesGoIn) {
  const struct {
    const char* file;
    std::uint32_t attributes;
  } files[] = {
      {"Daten/schreibgeschützt.txt", 0x1}, {"Daten/system.dat", 0x4}, {"Daten/versteckt.txt", 0x2}};
  for (const auto& f : files) {
    Put(f.file, f.file);
    test::SetDosAttributes(Target(f.file), f.attributes);
  }
  Put("Verborgen/a.txt", "a");
  Put("Systemordner/b.txt", "b");
  test::SetDosAttributes(Target("Verborgen"), 0x2);
  test::SetDosAttributes(Target("Systemordner"), 0x4);

  ASSERT_EQ(Save(), kStatusOk);

  const test::ZipContents zip = test::ParseZip(ArchiveBytes());
  ASSERT_EQ(zip.central.size(), 3u);
  for (std::size_t i = 0; i < 3; ++i) {
    EXPECT_EQ(zip.central[i].name, EntryName(files[i].file));
    EXPECT_EQ(zip.central[i].externalAttributes, 0x20 | files[i].attributes) << files[i].file;
  }
  const Tree after = {{"Systemordner", "folder"},
                      {"Systemordner/b.txt", File("b")},
                      {"Verborgen", "folder"},
                      {"Verborgen/a.txt", File("a")},
                      {"qndaltinst.zip", File(ArchiveBytes())}};
  EXPECT_EQ(Installation(), after);
}

TEST_F(SaveQNDInstTest, RunningProgramStaysOutOnlyWhenSpeltExactly) {
  const struct {
    const char* label;
    bool exact;
  } cases[] = {{"exact", true}, {"other letter case", false}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.label);
    Put("QNDUpdaterP2.exe", "MZ");
    std::string own = Target("QNDUpdaterP2.exe");
    if (!c.exact) own.replace(own.rfind("Quendra"), 7, "QUENDRA");
    ownPath_.path = own;

    ASSERT_EQ(Save(), kStatusOk);
    const std::vector<std::string> names = ArchivedNames();
    EXPECT_EQ(names.size(), c.exact ? 0u : 1u);
    EXPECT_EQ(root_.Exists("Programme/Quendra/QNDUpdaterP2.exe"), c.exact);
    fs::remove(test::FsPath(Target("qndaltinst.zip")));  // not to be archived by the next case
  }
}

TEST_F(SaveQNDInstTest, StartFileLeftInTheTemporaryFolderIsRestored) {
  Put("z.dat", "z");
  test::WriteFileBytes(Temp("QuendStart.ini"), "von einem früheren Lauf");
  ASSERT_EQ(Save(), kStatusOk);
  EXPECT_EQ(Installation(), (Tree{{"QuendStart.ini", File("von einem früheren Lauf")},
                                  {"qndaltinst.zip", File(ArchiveBytes())}}));
}

platform::FileStamp StampOf(platform::FileSystem& fileSystem, const std::string& path) {
  std::unique_ptr<platform::InputFile> file;
  platform::FileStamp stamp;
  EXPECT_FALSE(fileSystem.OpenForReading(path, file)) << path;
  if (file) {
    EXPECT_FALSE(file->Stamp(stamp)) << path;
  }
  return stamp;
}

// What the archive does not hold, or holds in an older state, stays: a file changed after it was
// archived (also one rewritten with its old size and last-write time, as copy tools leave it), a
// file that appeared meanwhile, and a changed start file, which the parked one does not overwrite.
TEST_F(SaveQNDInstTest, FilesChangedOrAddedAfterArchivingStay) {
  PutSmallInstallation();
  Put("Sub/w.dat", "ww");
  onCall_ = [this](const platform::FileCall& call) {
    if (call.operation != platform::FileOperation::Delete || call.number != 1) return false;
    Put("Sub/y.dat", "geändert");
    Put("Sub/neu.txt", "neu");
    Put("QuendStart.ini", "[Pfade]\r\nIniPfad=D:\\\r\n");
    const std::string rewritten = Target("Sub/w.dat");
    const platform::FileStamp archived = StampOf(platform::SystemFileSystem(), rewritten);
    const auto time = fs::last_write_time(test::FsPath(rewritten));
    // Until the file system's clock has moved on; it ticks in milliseconds at most.
    for (int tries = 0;
         StampOf(platform::SystemFileSystem(), rewritten).lastChange == archived.lastChange;
         ++tries) {
      if (tries == 10'000) {
        ADD_FAILURE() << "the change time never moved";
        break;
      }
      Put("Sub/w.dat", "WW");
      fs::last_write_time(test::FsPath(rewritten), time);
    }
    return false;
  };

  ASSERT_EQ(Save(), kStatusOk);

  EXPECT_EQ(Installation(), (Tree{{"QuendStart.ini", File("[Pfade]\r\nIniPfad=D:\\\r\n")},
                                  {"Sub", "folder"},
                                  {"Sub/neu.txt", File("neu")},
                                  {"Sub/w.dat", File("WW")},
                                  {"Sub/y.dat", File("geändert")},
                                  {"qndaltinst.zip", File(ArchiveBytes())}}));
  const std::string archive = ArchiveBytes();
  for (const test::LocalHeader& entry : test::ParseZip(archive).local) {
    if (entry.name == EntryName("Sub/y.dat")) {
      EXPECT_EQ(test::InflateEntry(archive, entry), "yy");
    }
  }
}

// Links to folders are not walked, links to files are not archived, and neither is deleted, nor
// anything they point to. Wine shows a Linux link to a file as the file it points to: there its
// bytes are archived, and the link stays, because deleting it would delete what it points to.
TEST_F(SaveQNDInstTest, LinksAreNeitherFollowedNorDeleted) {
  root_.WriteFile("Extern/wichtig.txt", "nicht löschen");
  Put("Sub/echt.txt", "echt");
  if (!test::MakeSymbolicLink(root_ / "Extern", Target("Ordnerlink")) ||
      !test::MakeSymbolicLink(root_ / "Extern/wichtig.txt", Target("Dateilink")))
    GTEST_SKIP() << "Windows makes symbolic links only with a privilege";
  const bool fileLinkLooksLikeItsFile = test::RunsUnderWine();

  ASSERT_EQ(Save(), kStatusOk);

  std::vector<std::string> archived = {EntryName("Sub/echt.txt")};
  if (fileLinkLooksLikeItsFile) archived.push_back(EntryName("Dateilink"));
  EXPECT_EQ(ArchivedNames(), archived);
  EXPECT_EQ(Installation(),
            (Tree{{"Dateilink", fileLinkLooksLikeItsFile ? "file:nicht löschen" : "link"},
                  {"Ordnerlink", "link"},
                  {"qndaltinst.zip", File(ArchiveBytes())}}));
  EXPECT_EQ(root_.ReadFile("Extern/wichtig.txt"), "nicht löschen");
  if (fileLinkLooksLikeItsFile) {
    EXPECT_EQ(
        test::RunHostShell("test -L " + test::ShellQuoted(test::HostPath(Target("Dateilink")))), 0);
  }
}

// The copy in the installation is read back before anything is deleted: one byte that changed on
// its way to the disk fails the step, nothing is deleted, and the bad copy is gone again.
TEST_F(SaveQNDInstTest, CopyThatDiffersFromTheArchiveDeletesNothing) {
  PutSmallInstallation();
  Put("Sub/gross.dat", test::NoisyBytes(3 << 20, 7));  // several pieces, and reads of the copy
  const Tree before = Installation();
  const std::string copy = Target("qndaltinst.neu.zip");
  const std::size_t flipAt[] = {40, 1 << 20, 0};  // in the first entry, in a later read, the end
  for (const std::size_t offset : flipAt) {
    SCOPED_TRACE(offset);
    onCall_ = [&, done = false](const platform::FileCall& call) mutable {
      if (call.operation == platform::FileOperation::Open && call.path == copy &&
          !std::exchange(done, true)) {
        std::fstream file(test::FsPath(copy), std::ios::in | std::ios::out | std::ios::binary);
        file.seekg(0, std::ios::end);
        const std::streamoff at = offset ? static_cast<std::streamoff>(offset)
                                         : static_cast<std::streamoff>(file.tellg()) - 1;
        file.seekg(at);
        const char byte = static_cast<char>(file.get() ^ 0x01);
        file.seekp(at);
        file.put(byte);
      }
      return false;
    };

    EXPECT_EQ(Save(), kStatusFailed);

    EXPECT_TRUE(NothingRemoved());
    EXPECT_TRUE(Installation() == before);
  }
}

// Every failure before the deletion leaves the installation exactly as it was.
struct EarlyFailure {
  const char* label;
  std::function<void(SaveQNDInstTest&)> arrange;
};

class SaveQNDInstEarlyFailureTest : public SaveQNDInstTest,
                                    public ::testing::WithParamInterface<EarlyFailure> {};

TEST_P(SaveQNDInstEarlyFailureTest, FailsBeforeDeletingAnything) {
  PutSmallInstallation();
  GetParam().arrange(*this);
  const Tree before = Installation();

  EXPECT_EQ(Save(), kStatusFailed);

  Tree after = Installation();
  // The unfinished archive, where the temporary folder is inside.
  after.erase("Tmp/qndaltinst.neu.zip");
  EXPECT_EQ(after, before);
  EXPECT_TRUE(NothingRemoved());
  EXPECT_EQ(window_.Notes(),
            (std::vector<std::string>{"BusyCursor", "Pump", "RestoreCursor", "Pump"}));
  EXPECT_TRUE(window_.ui.Lines().empty());
}

INSTANTIATE_TEST_SUITE_P(
    Failures, SaveQNDInstEarlyFailureTest,
    ::testing::Values(EarlyFailure{"FileCannotBeOpened",
                                   [](SaveQNDInstTest& t) {
                                     t.FailOn(platform::FileOperation::Open, t.Target("Sub/y.dat"));
                                   }},
                      EarlyFailure{"ArchiveWriteFails",
                                   [](SaveQNDInstTest& t) {
                                     t.faults_.FailAt(platform::FileOperation::Write, 1, true);
                                   }},
                      EarlyFailure{"ArchiveFlushFails",
                                   [](SaveQNDInstTest& t) {
                                     t.faults_.FailAt(platform::FileOperation::Flush, 1);
                                   }},
                      EarlyFailure{"ArchiveCloseFails",
                                   [](SaveQNDInstTest& t) {
                                     t.faults_.FailAt(platform::FileOperation::Close, 1);
                                   }},
                      // The walk would meet the archive being written.
                      EarlyFailure{"TemporaryFolderInsideTheInstallation",
                                   [](SaveQNDInstTest& t) {
                                     t.root_.MakeDir("Programme/Quendra/Tmp");
                                     t.fileSystem_.temporaryFolder = t.Target("Tmp") + kSep;
                                   }},
                      EarlyFailure{"StartFileCannotBeParked",
                                   [](SaveQNDInstTest& t) {
                                     t.FailOn(
                                         platform::FileOperation::Copy,
                                         t.fileSystem_.temporaryFolder + kSep + "QuendStart.ini");
                                   }},
                      EarlyFailure{"NoTemporaryFolder",
                                   [](SaveQNDInstTest& t) { t.fileSystem_.temporaryFolder = ""; }}),
    [](const ::testing::TestParamInfo<EarlyFailure>& info) { return info.param.label; });

// After the deletion, putting the start file back that fails, or an archive that cannot get its
// name (the rename fails, or the deletion kept a file of that name), makes the status 1; the
// complete archive stays in the temporary folder, and its verified copy in the installation under
// its own name.
TEST_F(SaveQNDInstTest, FailedCopiesIntoTheEmptiedInstallationFail) {
  const struct {
    const char* label;
    platform::FileOperation operation;
    std::string failingTarget;
    bool keptOldArchive;
    bool archiveNamed;  // the emptied installation holds the archive under its name
  } cases[] = {
      {"start file", platform::FileOperation::Copy, Target("QuendStart.ini"), false, true},
      {"archive's name", platform::FileOperation::Rename, Target("qndaltinst.zip"), false, false},
      {"archive kept by the deletion", platform::FileOperation::Copy, "", true, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.label);
    PutSmallInstallation();
    Put("qndaltinst.zip", "früheres Archiv");
    FailOn(c.operation, c.failingTarget);
    if (c.keptOldArchive) {
      onCall_ = [this, done = false](const platform::FileCall& call) mutable {
        if (call.operation == platform::FileOperation::Delete && !std::exchange(done, true))
          Put("qndaltinst.zip", "früheres Archiv, geändert");
        return false;
      };
    }

    EXPECT_EQ(Save(), kStatusFailed);

    EXPECT_FALSE(root_.Exists("Programme/Quendra/z.dat"));
    EXPECT_EQ(test::ParseZip(ArchiveBytes()).central.size(), 5u);
    if (c.keptOldArchive) {
      EXPECT_EQ(test::ReadFileBytes(Target("qndaltinst.zip")), "früheres Archiv, geändert");
    }
    EXPECT_EQ(test::ReadFileBytes(Target(c.archiveNamed ? "qndaltinst.zip" : "qndaltinst.neu.zip")),
              ArchiveBytes());
    fs::remove_all(test::FsPath(state_.TargetDir));
    root_.MakeDir("Programme/Quendra");
  }
}

#ifdef _WIN32
// Only Windows keeps others from writing to a file while it is read: a file someone has open for
// writing cannot be opened that way, so the archive fails and nothing is deleted.
TEST_F(SaveQNDInstTest, FileOpenForWritingElsewhereFailsTheArchive) {
  PutSmallInstallation();
  const Tree before = Installation();
  const HANDLE writer =
      ::CreateFileW(platform::win32::Widen(Target("Sub/y.dat")).c_str(), GENERIC_WRITE,
                    FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(writer, INVALID_HANDLE_VALUE);
  const Status status = Save();
  ::CloseHandle(writer);
  EXPECT_EQ(status, kStatusFailed);
  EXPECT_EQ(Installation(), before);
}
#endif

}  // namespace
}  // namespace qnd::dir
