// SaveQNDInst at the limits: a file too large for the format, a large file streamed through in
// pieces, and paths at the system's length limit.
#include <zlib.h>

#include <filesystem>

#include "platform/paths.h"
#include "tests/dir_updater/external_readers.h"
#include "tests/dir_updater/save_qnd_inst_fixture.h"

#ifndef _WIN32
#include <sys/resource.h>
#endif

namespace qnd::dir {
namespace {

namespace fs = std::filesystem;

// Sparse files: the file system stores none of their zeros.
void PutSparse(const std::string& path, std::uintmax_t size) {
  test::WriteFileBytes(path, "");
  fs::resize_file(test::FsPath(path), size);
}

TEST_F(SaveQNDInstTest, FileOf4GiBFailsBeforeDeletingAnything) {
  PutSmallInstallation();
  PutSparse(Target("Sub/riesig.dat"), std::uintmax_t{1} << 32);

  EXPECT_EQ(Save(), kStatusFailed);

  EXPECT_TRUE(NothingRemoved());
  EXPECT_TRUE(root_.Exists("Programme/Quendra/Sub/Deep/x.dat"));
  EXPECT_EQ(fs::file_size(test::FsPath(Target("Sub/riesig.dat"))), std::uintmax_t{1} << 32);
  EXPECT_LT(fs::file_size(test::FsPath(Temp("qndaltinst.neu.zip"))), 1u << 20)
      << "refused before reading it";
  EXPECT_FALSE(root_.Exists("Temp/qndaltinst.zip")) << "only a complete archive gets its name";
}

#ifndef _WIN32
// The process's peak memory so far (Linux: KiB). Windows has no portable counterpart here; the
// largest read and write below bound the pieces on every system.
long PeakMemoryKiB() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss;
}
#endif

TEST_F(SaveQNDInstTest, LargeFileIsStreamedInPiecesOfBoundedSize) {
  constexpr std::uint64_t kSize = 300ull << 20;
  PutSparse(Target("gross.dat"), kSize);
#ifndef _WIN32
  const long peakBefore = PeakMemoryKiB();
#endif

  ASSERT_EQ(Save(), kStatusOk);

#ifndef _WIN32
  EXPECT_LT(PeakMemoryKiB() - peakBefore, 64 * 1024) << "the file was held in memory";
#endif
  EXPECT_LE(LargestSize(platform::FileOperation::Read), 1u << 20);
  EXPECT_LE(LargestSize(platform::FileOperation::Write), 1u << 20);

  const std::string archive = ArchiveBytes();
  const test::ZipContents zip = test::ParseZip(archive);
  ASSERT_EQ(zip.local.size(), 1u);
  const std::string zeros(1 << 20, '\0');
  uLong crc = crc32(0, nullptr, 0);
  for (std::uint64_t i = 0; i < kSize >> 20; ++i)
    crc = crc32(crc, reinterpret_cast<const Bytef*>(zeros.data()), static_cast<uInt>(zeros.size()));
  const test::InflatedSums sums = test::InflateEntrySums(archive, zip.local[0]);
  EXPECT_EQ(sums.size, kSize);
  EXPECT_EQ(sums.crc, crc);
  EXPECT_EQ(zip.local[0].crc, crc);
  EXPECT_EQ(zip.local[0].uncompressedSize, kSize);
  for (const test::ReaderVerdict& verdict :
       test::ReadWithExternalReaders(Temp("qndaltinst.zip"), root_.Path()))
    EXPECT_TRUE(verdict.passed) << verdict.reader << ": " << verdict.details;
  EXPECT_FALSE(root_.Exists("Programme/Quendra/gross.dat"));
}

// The shortest path the system refuses (Windows 260 characters, POSIX 4096 bytes).
std::size_t PathLimit() {
  std::size_t length = 1;
  while (!platform::IsPathTooLong(std::string(length, 'a'))) ++length;
  return length;
}

TEST_F(SaveQNDInstTest, PathAtTheSystemsLengthLimitFailsBeforeDeletingAnything) {
  const struct {
    std::size_t belowLimit;
    Status status;
  } cases[] = {{1, kStatusOk}, {0, kStatusFailed}};
  for (const auto& c : cases) {
    const std::size_t length = PathLimit() - c.belowLimit;
    SCOPED_TRACE(length);
    Put("z.dat", "z");
    const std::vector<std::string> folders = test::PutFileOfPathLength(state_.TargetDir, length);
    calls_.clear();

    EXPECT_EQ(Save(), c.status);

    EXPECT_EQ(NothingRemoved(), c.status != kStatusOk);
    EXPECT_EQ(test::RemoveFileOfPathLength(state_.TargetDir, folders), c.status != kStatusOk);
    fs::remove(test::FsPath(Target("qndaltinst.zip")));
  }
}

}  // namespace
}  // namespace qnd::dir
