// Whole runs of both programs over the real file system behind the fault seam, with each of their
// file-system calls failing in turn, once or (a disk that stays full) from then on. Whatever the
// fault: nothing outside the installation directory is lost, the installation is untouched or
// what is gone from it is in the complete archive, the exit code and the log say what happened, and
// the result file is either absent or holds complete values.
//
// Fault point (first match wins)       exit  log ends with (box)
// a call of the archive step           0     the complete run; its third line is "Fehler bei der
//   (see archive_fault_points.h)               Sicherung des Alt-Programms" or "Quendra Sicherung
//                                              - OK", as the archive table says
// copy of a form catalog               1     "Sicherung der Formularkataloge ..."
// creation of the folder               1     "Sicherung der Formulierungshilfen wird erstellt
//   "QND_Bkp_Formulierungen"                   ..." (box "Das Backup-Verzeichnis konnte nicht
//                                              erstellt werden ...")
// shell copy of the formulation aids   1     "Sicherung der Formulierungshilfen wird erstellt
//                                              ..."
// copy of the subject canon            1     "Sicherung des Fächerkanons wird erstellt ..."
// copy of an NKK table                 1     "Sicherung der NKK-Dateien wird erstellt ..."
// write of a result-file key           none  "Sicherung NKK-Dateien - OK" (box "In <file> kann
//                                              nicht geschrieben werden."); the window stays
//                                              open, the keys written before stay
// Where a fault stays, every call it fails counts: failures in the archive step are only logged,
// and the first one after it ends the run (copies failing from the archive step on end it at the
// form catalogs).
#include <gtest/gtest.h>

#include <optional>

#include "platform/fault_injection.h"
#include "platform/paths.h"
#include "tests/faults/archive_fault_points.h"
#include "tests/faults/nothing_lost.h"
#include "tests/faults/run_scene.h"

namespace qnd {
namespace {

using platform::FileCall;
using platform::FileOperation;
using Lines = std::vector<std::string>;
const std::string kSep(1, platform::kPathSeparator);

constexpr char kFormsLine[] = "Sicherung der Formularkataloge ...";
constexpr char kAidsLine[] = "Sicherung der Formulierungshilfen wird erstellt ...";
constexpr char kCanonLine[] = "Sicherung des Fächerkanons wird erstellt ...";
constexpr char kNkkLine[] = "Sicherung der NKK-Dateien wird erstellt ...";
constexpr char kBackupFolderError[] =
    "Das Backup-Verzeichnis konnte nicht erstellt werden\nDas Update wird abgebrochen!";
constexpr char kResultKeys[][11] = {"Erfolg", "Datum", "Uhrzeit", "Vorversion"};

using test::Program;
using Scene = test::RunScene;

test::ArchivePaths ArchiveOf(const Scene& scene) {
  return {scene.installation.installDir, platform::SystemFileSystem().TemporaryFolder()};
}

// A whole run with the scene's services behind `faults`.
std::optional<int> RunProgram(Program program, Scene& scene, platform::FaultInjector& faults,
                              test::RecordingWindow& window) {
  platform::FaultyPlatform faulty(scene.Services(), faults);
  return test::RunUpdater(program, scene.installation.installDir, faulty.Services(), window);
}

// What a run must show after its faults.
struct Outcome {
  std::optional<int> exit = kExitSuccess;              ///< none: the window stays open
  std::string archiveLine = "Quendra Sicherung - OK";  ///< the directory run's third line
  std::string lastLine = "Sicherung NKK-Dateien - OK";
  std::string errorBox;  ///< "" for none
  std::size_t resultKeys = std::size(kResultKeys);
};

// The row of a call outside the archive step, which ends the run; nullopt for a gap in the table.
std::optional<Outcome> RunEnd(const Scene& scene, const FileCall& call) {
  const test::SampleInstallation& s = scene.installation;
  const auto copyBelow = [&call](const std::string& folder) {
    return call.operation == FileOperation::Copy && call.path.rfind(folder, 0) == 0;
  };
  const auto failure = [](const char* lastLine, std::string box = {}) {
    Outcome outcome;
    outcome.exit = kExitFailure;
    outcome.lastLine = lastLine;
    outcome.errorBox = std::move(box);
    outcome.resultKeys = 0;
    return outcome;
  };
  if (copyBelow(s.dataRoot + "Formulare" + kSep)) return failure(kFormsLine);
  if (call.operation == FileOperation::CreateFolder &&
      call.path == s.dataRoot + "QND_Bkp_Formulierungen")
    return failure(kAidsLine, kBackupFolderError);
  if (copyBelow(s.dataRoot + "Formulierungen" + kSep)) return failure(kAidsLine);
  if (copyBelow(s.dataDir)) return failure(kCanonLine);
  if (copyBelow(s.dataRoot + "NKK" + kSep)) return failure(kNkkLine);
  if (call.operation == FileOperation::ProfileWrite && call.path == scene.ResultFile()) {
    Outcome outcome;
    outcome.exit = std::nullopt;
    outcome.errorBox = "In " + scene.ResultFile() + " kann nicht geschrieben werden.";
    outcome.resultKeys = call.number - 1;
    return outcome;
  }
  return std::nullopt;
}

// The table applied to the failed calls in order: failures in the archive step are only logged,
// the first one after it ends the run. nullopt when a call is a gap in the table.
std::optional<Outcome> Expected(Program program, const Scene& scene,
                                const std::vector<FileCall>& failed) {
  Outcome outcome;
  for (const FileCall& call : failed) {
    const test::ArchiveFaultPoint* point =
        program == Program::Dir ? test::FindArchiveFaultPoint(call, ArchiveOf(scene)) : nullptr;
    if (point != nullptr) {
      if (point->status != kStatusOk)
        outcome.archiveLine = "Fehler bei der Sicherung des Alt-Programms";
      continue;
    }
    std::optional<Outcome> end = RunEnd(scene, call);
    if (end) end->archiveLine = outcome.archiveLine;
    return end;
  }
  return outcome;
}

// Absent, or the keys written before the first failing write, each with its complete value.
void ExpectResultFile(const Scene& scene, std::size_t keysWritten) {
  const std::string path = scene.ResultFile();
  EXPECT_EQ(platform::SystemFileSystem().FileExists(path), keysWritten > 0);
  platform::Profile& profile = platform::SystemProfile();
  for (std::size_t i = 0; i < std::size(kResultKeys); ++i) {
    const std::string value = profile.ReadString(path, "Update", kResultKeys[i], "(fehlt)");
    if (i >= keysWritten) {
      EXPECT_EQ(value, "(fehlt)") << kResultKeys[i];
    } else if (i == 0) {
      EXPECT_EQ(value, "0");
    } else if (i == 3) {
      EXPECT_EQ(value, "8.2.0.15");
    } else {
      EXPECT_FALSE(value.empty()) << kResultKeys[i];
    }
  }
}

// Runs `program` with the Nth call of each kind failing in turn, for N up to that kind's count in a
// clean run, and checks each run against the table.
void ExpectEveryFaultHandled(Program program, bool fromThenOn) {
  platform::FaultInjector faults;
  std::map<FileOperation, std::size_t> cleanRun;
  {
    Scene scene(program);
    test::RecordingWindow window;
    ASSERT_EQ(RunProgram(program, scene, faults, window), kExitSuccess);
    for (const FileOperation operation : platform::AllFileOperations())
      cleanRun[operation] = faults.Calls(operation);
  }
  EXPECT_EQ(cleanRun[FileOperation::ProfileWrite], std::size(kResultKeys));

  for (const auto& [operation, count] : cleanRun) {
    for (std::size_t n = 1; n <= count; ++n) {
      SCOPED_TRACE(std::string(platform::FileOperationName(operation)) + " #" + std::to_string(n));
      Scene scene(program);
      const test::Tree installBefore = test::Snapshot(scene.installation.installDir);
      const test::Tree dataBefore = test::Snapshot(scene.dir / "Daten");
      const test::Tree iniBefore = test::Snapshot(scene.dir / "ProgramData");
      faults.Reset();
      faults.FailAt(operation, n, fromThenOn);

      test::RecordingWindow window;
      const std::optional<int> exit = RunProgram(program, scene, faults, window);

      const std::vector<FileCall> failed = faults.Failures();
      ASSERT_FALSE(failed.empty()) << "the fault was not met";
      const std::optional<Outcome> expected = Expected(program, scene, failed);
      ASSERT_TRUE(expected.has_value()) << "a failed call with no fault point";
      SCOPED_TRACE(failed[0].path);
      EXPECT_EQ(exit, expected->exit);
      const Lines lines = window.ui.Lines();
      ASSERT_GE(lines.size(), 3u);
      if (program == Program::Dir) {
        EXPECT_EQ(lines[2], expected->archiveLine);
      }
      EXPECT_EQ(lines.back(), expected->lastLine);
      const Lines boxes = window.ui.ErrorTexts();
      EXPECT_EQ(boxes, expected->errorBox.empty() ? Lines{} : Lines{expected->errorBox});
      ExpectResultFile(scene, expected->resultKeys);

      const test::ArchivePaths archive = ArchiveOf(scene);
      test::ExpectNothingLost(dataBefore, scene.dir / "Daten", archive.Archive());
      test::ExpectNothingLost(iniBefore, scene.dir / "ProgramData", archive.Archive());
      const std::vector<std::string> gone =
          test::ExpectNothingLost(installBefore, archive.installDir, archive.Archive());
      if (program == Program::Local) {
        EXPECT_TRUE(gone.empty()) << "QNDUpdater leaves the installation alone";
      }
    }
  }
}

TEST(ProgramFaultTest, DirectoryRunHandlesEveryFailingCall) {
  ExpectEveryFaultHandled(Program::Dir, false);
}

TEST(ProgramFaultTest, DirectoryRunHandlesFaultsThatStay) {
  ExpectEveryFaultHandled(Program::Dir, true);
}

TEST(ProgramFaultTest, LocalRunHandlesEveryFailingCall) {
  ExpectEveryFaultHandled(Program::Local, false);
}

TEST(ProgramFaultTest, LocalRunHandlesFaultsThatStay) {
  ExpectEveryFaultHandled(Program::Local, true);
}

}  // namespace
}  // namespace qnd
