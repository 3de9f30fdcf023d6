// The archive compressed on worker threads: the same bytes with one thread and with several, read
// back whole by the independent readers; how far the step is, painted into the status bar; and a
// read failure while pieces are in flight.
#include <algorithm>
#include <atomic>

#include "dir_updater/install_zip.h"
#include "dir_updater/piece_deflater.h"
#include "tests/dir_updater/external_readers.h"
#include "tests/dir_updater/sample_bytes.h"
#include "tests/dir_updater/save_qnd_inst_fixture.h"

namespace qnd::dir {
namespace {

// Files of one piece, of several, of an exact number of pieces, and empty ones, compressible and
// not, with names outside ASCII; and 600 small ones, which share pieces; about 9.5 MiB.
std::map<std::string, std::string> MixedFiles() {
  std::map<std::string, std::string> files = {
      {"Daten/Schüler.dbf", test::TableBytes(3 * kPieceSize + 12'345)},
      {"Daten/Noten.dbf", test::TableBytes(2 * kPieceSize)},
      {"Daten/leer.cdx", ""},
      {"Programm/Quendra.EXE", test::NoisyBytes(kPieceSize + kPieceSize / 3, 11)},
      {"Programm/Hilfe/Übersicht.txt", "Zeugnisse schreiben\r\n"},
      {"Bilder/Wappen.bmp", test::NoisyBytes(kPieceSize, 12)},
      {"QuendStart.ini", "[Pfade]\r\nIniPfad=C:\\ProgramData\\Quendra\\\r\n"},
  };
  for (int i = 0; i < 600; ++i) {
    const std::size_t size = static_cast<std::size_t>(i) * 4999 % 5000;
    files["Formulare/Vorlage " + std::to_string(i) + ".rtf"] =
        i % 3 == 0 ? test::NoisyBytes(size, static_cast<std::uint32_t>(i)) : test::TableBytes(size);
  }
  return files;
}

const std::map<std::string, std::string>& MixedInstallation() {
  static const std::map<std::string, std::string> files = MixedFiles();
  return files;
}

class ParallelArchiveTest : public SaveQNDInstTest {
 public:
  ParallelArchiveTest() {
    for (const auto& [name, bytes] : MixedInstallation()) Put(name, bytes);
  }

  // DoZip alone (nothing is deleted) into `name` in the temporary folder; its bytes.
  std::string Zip(const std::string& name, unsigned threads) {
    ZipOptions options;
    options.threads = threads;
    DoZip(fileSystem_, state_.TargetDir, Temp(name), ownPath_.path, options);
    return test::ReadFileBytes(Temp(name));
  }
};

TEST_F(ParallelArchiveTest, OneThreadAndSeveralWriteTheSameArchive) {
  const std::string oneThread = Zip("eins.zip", 1);

  // Every entry holds its file, whole, by the archive's own sums and by the independent readers.
  const test::ZipContents zip = test::ParseZip(oneThread);
  ASSERT_EQ(zip.local.size(), MixedInstallation().size());
  for (const test::LocalHeader& entry : zip.local) {
    SCOPED_TRACE(entry.name);
    std::string relative = entry.name.substr(std::string("Quendra").size() + 1);
    std::replace(relative.begin(), relative.end(), platform::kPathSeparator, '/');
    const std::string& original = MixedInstallation().at(relative);
    EXPECT_TRUE(test::InflateEntry(oneThread, entry) == original);
    EXPECT_EQ(entry.crc, test::Crc32(original));
    EXPECT_EQ(entry.uncompressedSize, original.size());
  }
  for (const test::ReaderVerdict& verdict :
       test::ReadWithExternalReaders(Temp("eins.zip"), root_.Path()))
    EXPECT_TRUE(verdict.passed) << verdict.reader << ": " << verdict.details;

  for (unsigned threads : {2u, 3u, 8u}) {
    EXPECT_TRUE(Zip("mehrere.zip", threads) == oneThread) << threads << " threads";
  }
  // The whole step with one thread writes that archive too.
  threads_ = 1;
  ASSERT_EQ(Save(), kStatusOk);
  EXPECT_TRUE(ArchiveBytes() == oneThread);
}

int Percent(const std::string& status) {
  const std::string start = std::string(kSavingLine) + " ";
  EXPECT_EQ(status.rfind(start, 0), 0u) << status;
  EXPECT_EQ(status.substr(status.size() - 2), " %") << status;
  return std::stoi(status.substr(start.size()));
}

std::vector<int> PaintedFigures(const test::RecordingWindow& window) {
  std::vector<int> shown;
  for (const test::UiEvent& event : window.ui.Events()) {
    EXPECT_NE(event.kind, test::UiEvent::Kind::Status) << "only painted texts: " << event.text;
    if (event.kind == test::UiEvent::Kind::PaintedStatus) shown.push_back(Percent(event.text));
  }
  return shown;
}

// From 0 to 100, each figure once and never back.
void ExpectRisesFrom0To100(const std::vector<int>& shown) {
  EXPECT_EQ(shown.front(), 0);
  EXPECT_EQ(shown.back(), 100);
  EXPECT_TRUE(std::is_sorted(shown.begin(), shown.end()));
  EXPECT_EQ(std::adjacent_find(shown.begin(), shown.end()), shown.end()) << "a figure repeated";
}

// The figure standing, readable from the threads that delete while the window is painted.
class FigureWindow : public test::RecordingWindow {
 public:
  void PaintStatusText(const std::string& text) override {
    RecordingWindow::PaintStatusText(text);
    figure = Percent(text);
  }
  std::atomic<int> figure{-1};
};

// From 0 to 100 by bytes, each figure once, painted without processing window events: the bar
// moves while the archive is written, while its copy is made and verified, and while the files are
// deleted, and reaches 100 only when the last file is gone. The log and the window's other
// operations stay as they were.
TEST_F(ParallelArchiveTest, StatusBarShowsHowFarTheWholeStepIs) {
  FigureWindow window;
  std::vector<int> archiving, copying, verifying, deleting;
  const std::string copy = Target("qndaltinst.neu.zip");
  onCall_ = [&](const platform::FileCall& call) {
    const int figure = window.figure;
    if (call.operation == platform::FileOperation::Read && call.path.rfind(Target(""), 0) == 0 &&
        call.path != copy && !call.checkingContent)
      archiving.push_back(figure);
    if (call.operation == platform::FileOperation::Write && call.path == copy)
      copying.push_back(figure);
    if (call.operation == platform::FileOperation::Read && call.path == copy)
      verifying.push_back(figure);
    if (call.operation == platform::FileOperation::Delete) deleting.push_back(figure);
    return false;
  };
  ASSERT_EQ(SaveQNDInstWithThreads(context_, window, threads_), kStatusOk);

  const std::vector<int> shown = PaintedFigures(window);
  ASSERT_GE(shown.size(), 3u);
  ExpectRisesFrom0To100(shown);
  // Each stage follows the one before on the bar, and the long ones move it on their own.
  for (const std::vector<int>* stage : {&archiving, &copying, &verifying, &deleting})
    ASSERT_FALSE(stage->empty());
  EXPECT_LE(archiving.back(), copying.front());
  EXPECT_LE(copying.back(), verifying.front());
  EXPECT_LE(verifying.back(), deleting.front());
  EXPECT_GT(deleting.front(), archiving.back());
  EXPECT_LT(deleting.back(), 100);
  // The pieces are 1 MiB of about 9.5 MiB, so archiving (all before the copy) moves the figure at
  // least 8 times; 600 small files and a few large ones are deleted, so the deletion moves it more
  // than once. The figures painted count, not those seen at the deletions: the deleting threads
  // may all pass their deletions before any of them moves the bar.
  EXPECT_GE(std::count_if(shown.begin(), shown.end(), [&](int f) { return f < copying.front(); }),
            8);
  EXPECT_GE(std::count_if(shown.begin(), shown.end(), [&](int f) { return f > verifying.back(); }),
            3);

  // This window got the figures and the cursors, nothing else; the log's pumps go to the run's
  // window, around the step.
  EXPECT_EQ(window.ui.Events().size(), shown.size());
  EXPECT_EQ(window.Notes(), (std::vector<std::string>{"BusyCursor", "RestoreCursor"}));
  EXPECT_EQ(window_.Notes(), (std::vector<std::string>{"Pump", "Pump"}));
}

// Stages without bytes jump to their end: the bar still rises from 0 to 100, each figure once.
TEST_F(SaveQNDInstTest, EmptyInstallationGoesFrom0To100) {
  ASSERT_EQ(Save(), kStatusOk);
  const std::vector<int> shown = PaintedFigures(window_);
  ASSERT_GE(shown.size(), 2u);
  ExpectRisesFrom0To100(shown);
}

// A failed step stops the bar where it stood: it never claims 100.
TEST_F(ParallelArchiveTest, FailedVerificationStopsTheBarBelow100) {
  FailOn(platform::FileOperation::Read, Target("qndaltinst.neu.zip"));
  EXPECT_EQ(Save(), kStatusFailed);
  const std::vector<int> shown = PaintedFigures(window_);
  ASSERT_FALSE(shown.empty());
  EXPECT_LT(shown.back(), 100);
}

// A read that fails while earlier files' pieces are still being compressed stops the workers; the
// step fails and nothing is deleted.
TEST_F(ParallelArchiveTest, ReadFailureWithPiecesInFlightDeletesNothing) {
  const test::Tree before = Installation();
  FailOn(platform::FileOperation::Read, Target("Daten/Schüler.dbf"));

  EXPECT_EQ(Save(), kStatusFailed);

  EXPECT_EQ(Installation(), before);
  EXPECT_TRUE(NothingRemoved());
}

}  // namespace
}  // namespace qnd::dir
