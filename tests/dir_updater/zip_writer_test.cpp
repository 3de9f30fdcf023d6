// The ZIP writer in memory: every header field, the two ways a local header gets its sums, and the
// format's limits.
#include "dir_updater/zip_writer.h"

#include <gtest/gtest.h>

#include "dir_updater/archive_error.h"
#include "dir_updater/piece_deflater.h"
#include "tests/dir_updater/archive_fakes.h"
#include "tests/dir_updater/sample_bytes.h"
#include "tests/dir_updater/zip_reader.h"

namespace qnd::dir {
namespace {

struct Input {
  std::string name;
  std::string data;
  DosDateTime modified;
  std::uint32_t attributes;
};

// Each entry compressed as one piece, written in uneven parts.
void WriteArchive(ZipWriter& writer, const std::vector<Input>& inputs) {
  PieceDeflater deflater;
  for (const Input& input : inputs) {
    writer.BeginEntry({input.name, input.modified, input.attributes});
    std::string compressed;
    deflater.Compress({}, input.data, /*last=*/true, compressed);
    for (std::size_t at = 0; at < compressed.size(); at += 7777)
      writer.WriteData(std::string_view(compressed).substr(at, 7777));
    writer.EndEntry(Crc32(input.data), input.data.size());
  }
  writer.Finish();
}

const std::vector<Input>& SampleInputs() {
  static const std::vector<Input> inputs = {
      {"Quendra\\Sub\\x.dat", "Zeugnis Zeugnis Zeugnis", {0x4F6B, 0x70CB}, 0x21},
      {"Quendra\\Größe.txt", "", {0x0021, 0x0000}, 0x22},
      {"Quendra\\z.bin", test::NoisyBytes(300 * 1024, 7), {0xFF9F, 0xBF7D}, 0x24},
  };
  return inputs;
}

TEST(ZipWriterTest, EveryFieldIsWrittenAsTheFormatRequires) {
  test::MemoryOutputFile file;
  ZipWriter writer(file);
  WriteArchive(writer, SampleInputs());
  const test::ZipContents zip = test::ParseZip(file.bytes);
  ASSERT_EQ(zip.local.size(), SampleInputs().size());
  ASSERT_EQ(zip.central.size(), SampleInputs().size());

  for (std::size_t i = 0; i < SampleInputs().size(); ++i) {
    const Input& input = SampleInputs()[i];
    const test::LocalHeader& local = zip.local[i];
    const test::CentralHeader& central = zip.central[i];
    SCOPED_TRACE(input.name);
    EXPECT_EQ(local.versionNeeded, 20);
    EXPECT_EQ(local.flags, 0x0800);
    EXPECT_EQ(local.method, 8);
    EXPECT_EQ(local.date, input.modified.date);
    EXPECT_EQ(local.time, input.modified.time);
    EXPECT_EQ(local.crc, test::Crc32(input.data));
    EXPECT_EQ(local.uncompressedSize, input.data.size());
    EXPECT_EQ(local.extraLength, 0);
    EXPECT_EQ(local.name, input.name);
    EXPECT_EQ(test::InflateEntry(file.bytes, local), input.data);

    EXPECT_EQ(central.versionMadeBy, 20) << "version 2.0, host 0 (MS-DOS)";
    EXPECT_EQ(central.versionNeeded, 20);
    EXPECT_EQ(central.flags, 0x0800);
    EXPECT_EQ(central.method, 8);
    EXPECT_EQ(central.date, local.date);
    EXPECT_EQ(central.time, local.time);
    EXPECT_EQ(central.crc, local.crc);
    EXPECT_EQ(central.compressedSize, local.compressedSize);
    EXPECT_EQ(central.uncompressedSize, local.uncompressedSize);
    EXPECT_EQ(central.extraLength, 0);
    EXPECT_EQ(central.commentLength, 0);
    EXPECT_EQ(central.diskStart, 0);
    EXPECT_EQ(central.internalAttributes, 0);
    EXPECT_EQ(central.externalAttributes, input.attributes);
    EXPECT_EQ(central.localHeaderOffset, local.offset);
    EXPECT_EQ(central.name, input.name);
  }
  EXPECT_EQ(zip.end.disk, 0);
  EXPECT_EQ(zip.end.directoryDisk, 0);
  EXPECT_EQ(zip.end.entriesOnDisk, 3);
  EXPECT_EQ(zip.end.entries, 3);
  EXPECT_EQ(zip.end.commentLength, 0);
  EXPECT_EQ(writer.Size(), file.bytes.size());
}

// A small buffer sends the headers to the file before their sums are known, so they are patched
// through a seek back; a large one patches them in memory. The bytes must not differ.
class ZipWriterBufferTest : public ::testing::TestWithParam<std::size_t> {};

TEST_P(ZipWriterBufferTest, SumsPatchedInTheFileOrInTheBufferGiveTheSameArchive) {
  test::MemoryOutputFile reference;
  ZipWriter referenceWriter(reference);
  WriteArchive(referenceWriter, SampleInputs());
  ASSERT_EQ(reference.seeks, 0u) << "everything fitted the default buffer";

  test::MemoryOutputFile file;
  ZipWriter writer(file, GetParam());
  WriteArchive(writer, SampleInputs());
  EXPECT_GT(file.seeks, 0u);
  EXPECT_TRUE(file.bytes == reference.bytes);
  EXPECT_EQ(test::ParseZip(file.bytes).local.size(), 3u);
}

INSTANTIATE_TEST_SUITE_P(SmallBuffers, ZipWriterBufferTest, ::testing::Values(1, 64, 100 * 1024));

TEST(ZipWriterTest, DosDateAndTime) {
  using platform::CalendarTime;
  const struct {
    std::optional<CalendarTime> time;
    DosDateTime dos;
  } cases[] = {
      {CalendarTime{2019, 11, 11, 14, 6, 22}, {0x4F6B, 0x70CB}},
      {CalendarTime{2019, 11, 11, 14, 6, 23}, {0x4F6B, 0x70CB}},  // two-second steps
      {CalendarTime{1980, 1, 1, 0, 0, 0}, {0x0021, 0x0000}},
      {CalendarTime{2107, 12, 31, 23, 59, 59}, {0xFF9F, 0xBF7D}},
      {CalendarTime{1979, 12, 31, 23, 59, 59}, {0, 0}},
      {CalendarTime{2108, 1, 1, 0, 0, 0}, {0, 0}},
      {std::nullopt, {0, 0}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.time ? std::to_string(c.time->year) : "no time");
    EXPECT_EQ(ToDosDateTime(c.time), c.dos);
  }
}

TEST(ZipWriterTest, ExternalAttributesKeepTheBitsOfMask7BF7) {
  const struct {
    std::uint32_t attributes, kept;
  } cases[] = {
      {0x27, 0x27},      // read-only, hidden, system, archive
      {0x10, 0x10},      // directory
      {0x08, 0x00},      // volume label
      {0x420, 0x20},     // reparse point
      {0x8820, 0x820},   // compressed kept, bit 15 not
      {0x4000, 0x4000},  // encrypted
  };
  for (const auto& c : cases) EXPECT_EQ(ExternalAttributes(c.attributes), c.kept) << c.attributes;
}

TEST(ZipWriterTest, HoldsAtMost65535Entries) {
  test::MemoryOutputFile file;
  ZipWriter writer(file);
  for (std::size_t i = 0; i < kMaxZipEntries; ++i) {
    writer.BeginEntry({std::to_string(i), {}, 0x20});
    writer.EndEntry(0, 0);
  }
  EXPECT_THROW(writer.BeginEntry({"one too many", {}, 0x20}), ArchiveError);
  writer.Finish();
  const test::ZipContents zip = test::ParseZip(file.bytes);
  EXPECT_EQ(zip.end.entries, 0xFFFF);
  EXPECT_EQ(zip.central.size(), kMaxZipEntries);
}

TEST(ZipWriterTest, RefusesAnEntryOf4GiBOrMore) {
  const struct {
    std::uint64_t size;
    bool fits;
  } cases[] = {{0xFFFFFFFE, true}, {0xFFFFFFFF, false}, {0x100000000, false}};
  for (const auto& c : cases) {
    test::MemoryOutputFile file;
    ZipWriter writer(file);
    writer.BeginEntry({"gross.dat", {}, 0x20});
    if (c.fits) {
      EXPECT_NO_THROW(writer.EndEntry(0, c.size)) << c.size;
    } else {
      EXPECT_THROW(writer.EndEntry(0, c.size), ArchiveError) << c.size;
    }
  }
}

// Every offset and size of the format is 32 bits wide: the archive stops short of 4 GiB, also
// when only its central directory would cross the line.
TEST(ZipWriterTest, RefusesToGrowTo4GiB) {
  test::MemoryOutputFile file(/*keepBytes=*/false);
  ZipWriter writer(file);
  writer.BeginEntry({"a", {}, 0x20});
  const std::string chunk(1 << 20, 'x');
  while (writer.Size() + chunk.size() <= kMaxArchiveSize) writer.WriteData(chunk);
  const std::uint64_t room = kMaxArchiveSize - writer.Size();
  EXPECT_THROW(writer.WriteData(std::string(room + 1, 'x')), ArchiveError);
  writer.WriteData(std::string(room - 60, 'x'));
  writer.EndEntry(0, 1000);
  EXPECT_THROW(writer.Finish(), ArchiveError) << "central header and end record take 69 bytes";
  EXPECT_LE(file.length, kMaxArchiveSize);
}

TEST(ZipWriterTest, AFailingWriteFailsTheArchive) {
  test::MemoryOutputFile file;
  file.failingWrite = 1;
  ZipWriter writer(file);
  EXPECT_THROW(WriteArchive(writer, SampleInputs()), ArchiveError);
}

}  // namespace
}  // namespace qnd::dir
