// SaveQNDInst with its file-system calls failing one at a time: for every kind of call and every N
// up to the number of such calls in a clean run, the Nth call fails. Whatever the fault, the
// installation is untouched or each file gone from it is in the complete archive, and the step's
// status and what is left are those of the fault table in archive_fault_points.h.
#include <filesystem>

#include "tests/dir_updater/sample_bytes.h"
#include "tests/dir_updater/save_qnd_inst_fixture.h"
#include "tests/faults/archive_fault_points.h"
#include "tests/faults/nothing_lost.h"

namespace qnd::dir {
namespace {

namespace fs = std::filesystem;
using platform::FileOperation;

class SaveQNDInstFaultTest : public SaveQNDInstTest {
 protected:
  // A fresh small installation with an empty folder and a file of several pieces (so the archive
  // is written, patched through seeks back, copied and verified in several reads and writes), an
  // empty temporary folder and no counts.
  void Fresh() {
    fs::remove_all(test::FsPath(state_.TargetDir));
    fs::remove_all(test::FsPath(root_ / "Temp"));
    root_.MakeDir("Temp");
    root_.MakeDir("Programme/Quendra/Leer");
    PutSmallInstallation();
    Put("Sub/gross.dat", test::NoisyBytes((5 << 20) / 2, 11));
    faults_.Reset();
    calls_.clear();
    window_ = test::RecordingWindow();
  }

  test::ArchivePaths Paths() const { return {state_.TargetDir, fileSystem_.temporaryFolder}; }
};

TEST_F(SaveQNDInstFaultTest, EveryFailingCallLosesNothing) {
  Fresh();
  ASSERT_EQ(Save(), kStatusOk);
  std::map<FileOperation, std::size_t> cleanRun;
  for (const FileOperation operation : platform::AllFileOperations())
    cleanRun[operation] = faults_.Calls(operation);
  // Every kind the step uses is met at least once, so each of them is failed below.
  for (const FileOperation used :
       {FileOperation::CreateFile, FileOperation::List, FileOperation::Open, FileOperation::Read,
        FileOperation::Stamp, FileOperation::Write, FileOperation::Seek, FileOperation::Flush,
        FileOperation::Close, FileOperation::Copy, FileOperation::Delete, FileOperation::Rename,
        FileOperation::RemoveFolder})
    EXPECT_GT(cleanRun[used], 0u) << platform::FileOperationName(used);

  for (const auto& [operation, count] : cleanRun) {
    for (std::size_t n = 1; n <= count; ++n) {
      SCOPED_TRACE(std::string(platform::FileOperationName(operation)) + " #" + std::to_string(n));
      Fresh();
      const test::Tree before = Installation();
      faults_.FailAt(operation, n);

      const Status status = Save();

      const std::vector<platform::FileCall> failed = faults_.Failures();
      ASSERT_EQ(failed.size(), 1u) << "the fault was not met";
      const test::ArchiveFaultPoint* point = test::FindArchiveFaultPoint(failed[0], Paths());
      ASSERT_NE(point, nullptr) << "no fault point for " << failed[0].path;
      SCOPED_TRACE(point->where);
      EXPECT_EQ(status, point->status);
      test::ExpectNothingLost(before, state_.TargetDir, Paths().Archive());
      EXPECT_EQ(test::NamesOf(Installation()),
                test::ExpectedNames(*point, failed[0], Paths(), before));
      if (root_.Exists("Programme/Quendra/qndaltinst.zip")) {
        EXPECT_TRUE(test::ReadFileBytes(Target("qndaltinst.zip")) == ArchiveBytes());
      }
      EXPECT_TRUE(window_.ui.Lines().empty()) << "the step reports nothing itself";
    }
  }
}

}  // namespace
}  // namespace qnd::dir
