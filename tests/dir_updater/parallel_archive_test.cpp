// The archive compressed on worker threads: the same bytes with one thread and with several, read
// back whole by the independent readers; how far it is, painted into the status bar; and a read
// failure while pieces are in flight.
#include <algorithm>

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

// From 0 to 100 by bytes, each figure once, painted without processing window events, and only
// while the archive is written: the log and the window's other operations stay as they were.
TEST_F(ParallelArchiveTest, StatusBarShowsHowFarTheArchiveIs) {
  ASSERT_EQ(Save(), kStatusOk);

  std::vector<int> shown;
  for (const test::UiEvent& event : window_.ui.Events()) {
    EXPECT_NE(event.kind, test::UiEvent::Kind::Status) << "only painted texts: " << event.text;
    if (event.kind == test::UiEvent::Kind::PaintedStatus) shown.push_back(Percent(event.text));
  }
  ASSERT_GE(shown.size(), 3u);
  EXPECT_EQ(shown.front(), 0);
  EXPECT_EQ(shown.back(), 100);
  EXPECT_TRUE(std::is_sorted(shown.begin(), shown.end()));
  EXPECT_EQ(std::adjacent_find(shown.begin(), shown.end()), shown.end()) << "a figure repeated";
  // The pieces are 1 MiB of about 8 MiB, so the figure moves in steps of about 12.
  EXPECT_GE(shown.size(), 8u);

  // The events: the pump of the busy cursor, the figures, the pump of the restored cursor.
  const auto& events = window_.ui.Events();
  ASSERT_EQ(events.size(), shown.size() + 2);
  EXPECT_EQ(events.front().kind, test::UiEvent::Kind::Pump);
  EXPECT_EQ(events.back().kind, test::UiEvent::Kind::Pump);
  EXPECT_EQ(window_.Notes(),
            (std::vector<std::string>{"BusyCursor", "Pump", "RestoreCursor", "Pump"}));
}

TEST_F(SaveQNDInstTest, EmptyInstallationGoesFrom0To100) {
  ASSERT_EQ(Save(), kStatusOk);
  std::vector<std::string> shown;
  for (const test::UiEvent& event : window_.ui.Events()) {
    if (event.kind == test::UiEvent::Kind::PaintedStatus) shown.push_back(event.text);
  }
  EXPECT_EQ(shown, (std::vector<std::string>{std::string(kSavingLine) + " 0 %",
                                             std::string(kSavingLine) + " 100 %"}));
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
