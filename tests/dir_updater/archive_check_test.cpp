// The archive read back before anything is deleted: what ZipWriter wrote for the entries passes,
// read in any pieces; a change to its bytes, or to the entries it is checked against, and a read
// that fails are each an ArchiveError that names the entry and the field.
#include "dir_updater/archive_check.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

#include "dir_updater/archive_error.h"
#include "dir_updater/piece_deflater.h"
#include "platform/fault_injection.h"
#include "tests/dir_updater/archive_fakes.h"
#include "tests/dir_updater/sample_bytes.h"
#include "tests/dir_updater/zip_reader.h"
#include "tests/support/temp_dir.h"

namespace qnd::dir {
namespace {

using platform::FileOperation;

struct Input {
  ZipEntry entry;
  std::string data;
  /// +1: a byte after the deflate stream; -1: its last byte left out. ZipWriter counts what it is
  /// given, so the headers and offsets still agree with each other.
  int streamEnd = 0;
};

// One input made field by field (brace lists of these trip GCC 12's uninitialised-use warning).
Input In(const char* name, DosDateTime modified, std::uint32_t attributes, std::string data,
         int streamEnd = 0) {
  Input input;
  input.entry.name = name;
  input.entry.modified = modified;
  input.entry.externalAttributes = attributes;
  input.data = std::move(data);
  input.streamEnd = streamEnd;
  return input;
}

struct Archive {
  std::string bytes;
  std::vector<ExpectedEntry> expected;
};

// Packs `inputs` as the archive step does: each entry's data deflated in pieces with the 32 KiB
// before each as its dictionary, handed to the writer in uneven slices. The sums the entries are
// checked against come from zlib directly.
Archive Pack(const std::vector<Input>& inputs) {
  test::MemoryOutputFile file;
  ZipWriter writer(file);
  PieceDeflater deflater;
  Archive archive;
  for (const Input& input : inputs) {
    writer.BeginEntry(input.entry);
    const std::string_view data = input.data;
    std::string compressed;
    std::uint32_t crc = 0;
    for (std::size_t at = 0; at == 0 || at < data.size(); at += kPieceSize) {
      const std::size_t before = std::min(at, kDictionarySize);
      const std::string_view piece = data.substr(at, kPieceSize);
      const bool last = at + kPieceSize >= data.size();
      deflater.Compress(data.substr(at - before, before), piece, last, compressed);
      if (last && input.streamEnd > 0) compressed += '\0';
      if (last && input.streamEnd < 0) compressed.pop_back();
      for (std::size_t from = 0; from < compressed.size(); from += 77777)
        writer.WriteData(std::string_view(compressed).substr(from, 77777));
      crc = JoinCrc32(crc, Crc32(piece), piece.size());
    }
    writer.EndEntry(crc, data.size());
    archive.expected.push_back({input.entry, test::Crc32(input.data), input.data.size()});
  }
  writer.Finish();
  archive.bytes = std::move(file.bytes);
  return archive;
}

const char kLarge[] = "Quendra\\Daten\\NOTEN.DBF";
const char kEmpty[] = "Quendra\\leer.txt";
const char kUtf8[] = "Quendra\\Zeugnisse\\Größe für Übergänge.txt";

// A table and noise of 6 MiB, whose data takes several reads; an empty file; a UTF-8 name.
const Archive& Several() {
  static const Archive archive = [] {
    std::vector<Input> inputs;
    inputs.push_back(In(kLarge, {0x4F6B, 0x70CB}, 0x20,
                        test::TableBytes(2 << 20) + test::NoisyBytes(4 << 20, 11)));
    inputs.push_back(In(kEmpty, {0x0021, 0x0000}, 0x21, ""));
    inputs.push_back(In(kUtf8, {0xFF9F, 0xBF7D}, 0x22, "Zeugnis Zeugnis Zeugnis"));
    return Pack(inputs);
  }();
  return archive;
}

// Small enough to change at every byte.
const Archive& Small() {
  static const Archive archive = [] {
    std::vector<Input> inputs;
    inputs.push_back(In("a\\Größe.txt", {0x4F6B, 0x70CB}, 0x20, "Zeugnis Zeugnis Zeugnis"));
    inputs.push_back(In("leer", {0x0021, 0x0000}, 0x27, ""));
    inputs.push_back(In("Noten.txt", {0x1234, 0x5678}, 0x01, test::TableBytes(3000)));
    return Pack(inputs);
  }();
  return archive;
}

// A change that puts in place of Several an archive of its empty and its UTF-8 entry, the UTF-8
// entry's deflate stream changed at its end as `streamEnd` says.
std::function<void(std::string&, std::vector<ExpectedEntry>&)> Repacked(int streamEnd) {
  return [streamEnd](std::string& bytes, std::vector<ExpectedEntry>& expected) {
    std::vector<Input> inputs;
    inputs.push_back(In(kEmpty, {0x0021, 0x0000}, 0x21, ""));
    inputs.push_back(In(kUtf8, {0xFF9F, 0xBF7D}, 0x22, "Zeugnis Zeugnis Zeugnis", streamEnd));
    Archive archive = Pack(inputs);
    bytes = std::move(archive.bytes);
    expected = std::move(archive.expected);
  };
}

// Where the central record of entry `index` starts.
std::size_t CentralRecordAt(const test::ZipContents& zip, std::size_t index) {
  std::size_t at = zip.end.directoryOffset;
  for (std::size_t i = 0; i < index; ++i) at += 46 + zip.central[i].name.size();
  return at;
}

void Put32(std::string& bytes, std::size_t at, std::uint32_t value) {
  for (int i = 0; i < 4; ++i) bytes[at + i] = static_cast<char>(value >> (8 * i));
}

class ArchiveCheckTest : public ::testing::Test {
 protected:
  std::string Path() const { return dir_ / "qndaltinst.zip"; }

  // The text of the ArchiveError that checking `bytes` against `expected` throws, or "" when the
  // archive passes. Any other exception fails the test.
  std::string Refusal(const std::string& bytes, const std::vector<ExpectedEntry>& expected,
                      platform::FileSystem& fileSystem = platform::SystemFileSystem()) {
    dir_.WriteFile("qndaltinst.zip", bytes);
    try {
      VerifyArchive(fileSystem, Path(), expected);
    } catch (const ArchiveError& error) {
      return error.what();
    }
    return {};
  }

  test::TempDir dir_;
};

TEST_F(ArchiveCheckTest, PassesWhatZipWriterWroteForTheEntries) {
  const test::ZipContents zip = test::ParseZip(Several().bytes);
  ASSERT_EQ(zip.local.size(), 3u);
  ASSERT_GT(zip.local[0].compressedSize, 4u << 20) << "the large entry's data spans many reads";
  const Archive none = Pack({});
  ASSERT_EQ(none.bytes.size(), 22u) << "nothing but the end record";

  for (const Archive* archive : {&Several(), &Small(), &none}) {
    SCOPED_TRACE(std::to_string(archive->expected.size()) + " entries");
    EXPECT_EQ(Refusal(archive->bytes, archive->expected), "");
  }
}

// Hands over at most one byte per read, as a read may, so every header and name is split.
class OneByteFile : public platform::InputFile {
 public:
  explicit OneByteFile(std::unique_ptr<platform::InputFile> inner) : inner_(std::move(inner)) {}
  std::error_code Read(char* buffer, std::size_t size, std::size_t& got) override {
    return inner_->Read(buffer, std::min<std::size_t>(size, 1), got);
  }
  std::error_code Stamp(platform::FileStamp& stamp) override { return inner_->Stamp(stamp); }

 private:
  std::unique_ptr<platform::InputFile> inner_;
};

class OneByteReads : public platform::FaultyFileSystem {
 public:
  explicit OneByteReads(platform::FaultInjector& faults)
      : FaultyFileSystem(platform::SystemFileSystem(), faults) {}
  std::error_code OpenForReading(const std::string& path,
                                 std::unique_ptr<platform::InputFile>& file) override {
    std::unique_ptr<platform::InputFile> inner;
    if (const std::error_code error = FaultyFileSystem::OpenForReading(path, inner)) return error;
    file = std::make_unique<OneByteFile>(std::move(inner));
    return {};
  }
};

TEST_F(ArchiveCheckTest, PassesTheArchiveReadOneByteAtATime) {
  platform::FaultInjector faults;
  OneByteReads fileSystem(faults);
  EXPECT_EQ(Refusal(Small().bytes, Small().expected, fileSystem), "");
  EXPECT_EQ(faults.Calls(FileOperation::Read), Small().bytes.size() + 1)
      << "each byte read once, front to back, then the end";
}

TEST_F(ArchiveCheckTest, RefusesEachDifferenceNamingTheEntryAndField) {
  const test::ZipContents zip = test::ParseZip(Several().bytes);
  const auto flip = [](std::size_t at, unsigned char mask) {
    return [at, mask](std::string& bytes, std::vector<ExpectedEntry>&) {
      bytes[at] = static_cast<char>(bytes[at] ^ mask);
    };
  };
  const std::string large = std::string("\"") + kLarge + "\"";
  const std::string utf8 = std::string("\"") + kUtf8 + "\"";
  const std::string empty = std::string("\"") + kEmpty + "\"";
  const struct {
    const char* change;
    std::function<void(std::string& bytes, std::vector<ExpectedEntry>& expected)> apply;
    std::string named;  // must be in the refusal
  } cases[] = {
      // The table is Huffman-coded, the noise mostly written as stored blocks.
      {"a byte of coded data", flip(zip.local[0].dataOffset + 1000, 0x10), "the data of " + large},
      {"a byte of stored data", flip(zip.local[0].dataOffset + zip.local[0].compressedSize / 2, 1),
       "the data of " + large + ": CRC-32"},
      {"a byte missing from the data",
       [&](std::string& bytes, auto&) { bytes.erase(zip.local[0].dataOffset + 4000, 1); },
       "the data of " + large},
      {"a byte of a local header's CRC-32", flip(zip.local[2].offset + 14, 0x01),
       "the local header of " + utf8 + ": CRC-32"},
      {"a byte of a central record's offset", flip(CentralRecordAt(zip, 2) + 42 + 2, 0x01),
       "the central record of " + utf8 + ": local header offset"},
      {"the end record's entry count", flip(zip.end.offset + 10, 0x01), "the end record: entries"},
      {"the end record's directory offset", flip(zip.end.offset + 16, 0x01),
       "the end record: central directory offset"},
      {"the last byte missing", [](std::string& bytes, auto&) { bytes.pop_back(); },
       "the archive ends inside the end record"},
      {"a byte appended", [](std::string& bytes, auto&) { bytes += '\0'; },
       "the archive goes on after its end record"},
      {"an entry the archive lacks",
       [](std::string&, std::vector<ExpectedEntry>& expected) {
         expected.push_back({{"Quendra\\fehlt.txt", {0x0021, 0}, 0x20}, 0, 0});
       },
       "the local header of \"Quendra\\fehlt.txt\": signature"},
      {"an entry not expected",
       [](std::string&, std::vector<ExpectedEntry>& expected) { expected.pop_back(); },
       "the central record of " + large + ": signature"},
      {"two entries swapped",
       [](std::string&, std::vector<ExpectedEntry>& expected) {
         std::swap(expected[1], expected[2]);
       },
       "the local header of " + utf8},
      {"a reserved block type",
       [&](std::string& bytes, auto&) { bytes[zip.local[2].dataOffset] = 7; },
       "the data of " + utf8 + " is no valid deflate data"},
      {"a byte after the deflate stream", Repacked(+1), "the data of " + utf8 + " goes on after"},
      {"the deflate stream's last byte left out", Repacked(-1),
       "the data of " + utf8 + " ends before its deflate stream does"},
      {"another size expected",
       [](std::string&, std::vector<ExpectedEntry>& expected) { expected[2].size += 1; },
       "the local header of " + utf8 + ": uncompressed size"},
      {"another CRC-32 expected",
       [](std::string&, std::vector<ExpectedEntry>& expected) { expected[1].crc ^= 0x80; },
       "the local header of " + empty + ": CRC-32"},
      // Both headers agree with what is expected, so only inflating finds it.
      {"data longer than the headers say",
       [&](std::string& bytes, std::vector<ExpectedEntry>& expected) {
         const std::uint32_t size = static_cast<std::uint32_t>(--expected[0].size);
         Put32(bytes, zip.local[0].offset + 22, size);
         Put32(bytes, CentralRecordAt(zip, 0) + 24, size);
       },
       "the data of " + large + " inflates to more than"},
      {"data shorter than the headers say",
       [&](std::string& bytes, std::vector<ExpectedEntry>& expected) {
         const std::uint32_t size = static_cast<std::uint32_t>(++expected[2].size);
         Put32(bytes, zip.local[2].offset + 22, size);
         Put32(bytes, CentralRecordAt(zip, 2) + 24, size);
       },
       "the data of " + utf8 + ": uncompressed size"},
      {"data with another CRC-32 than the headers say",
       [&](std::string& bytes, std::vector<ExpectedEntry>& expected) {
         const std::uint32_t crc = expected[2].crc ^= 1;
         Put32(bytes, zip.local[2].offset + 14, crc);
         Put32(bytes, CentralRecordAt(zip, 2) + 16, crc);
       },
       "the data of " + utf8 + ": CRC-32"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.change);
    std::string bytes = Several().bytes;
    std::vector<ExpectedEntry> expected = Several().expected;
    c.apply(bytes, expected);
    const std::string refusal = Refusal(bytes, expected);
    EXPECT_NE(refusal.find(Path() + ": " + c.named), std::string::npos) << refusal;
  }
}

// ZipWriter chose every byte, so none may change unnoticed, whatever it becomes: the sizes and
// lengths then claim more than the file holds, names run into data, streams run on. Inverted
// rather than single bits, because inflate never reads the padding after a deflate stream's end.
TEST_F(ArchiveCheckTest, RefusesTheArchiveWithAnyByteInvertedOrAnyTailMissing) {
  const Archive& small = Small();
  for (std::size_t at = 0; at < small.bytes.size(); ++at) {
    std::string bytes = small.bytes;
    bytes[at] = static_cast<char>(~bytes[at]);
    EXPECT_NE(Refusal(bytes, small.expected), "") << "byte " << at << " inverted";
  }
  for (std::size_t length = 0; length < small.bytes.size(); ++length)
    EXPECT_NE(Refusal(small.bytes.substr(0, length), small.expected), "") << length << " bytes";
}

// The first read, one inside the large entry's data, and the last one, which finds the end.
TEST_F(ArchiveCheckTest, AFailingReadIsAnArchiveError) {
  dir_.WriteFile("qndaltinst.zip", Several().bytes);
  platform::FaultInjector faults;
  std::size_t largestRead = 0;
  faults.SetWatch([&](const platform::FileCall& call) {
    if (call.operation == FileOperation::Read) largestRead = std::max(largestRead, call.size);
    return false;
  });
  platform::FaultyFileSystem fileSystem(platform::SystemFileSystem(), faults);
  VerifyArchive(fileSystem, Path(), Several().expected);
  const std::size_t reads = faults.Calls(FileOperation::Read);
  EXPECT_GT(reads, Several().bytes.size() >> 20) << "streamed, not read whole";
  EXPECT_LE(largestRead, std::size_t{1} << 20);

  for (const std::size_t nth : {std::size_t{1}, reads / 2, reads}) {
    SCOPED_TRACE("read " + std::to_string(nth) + " of " + std::to_string(reads));
    faults.Reset();
    faults.FailAt(FileOperation::Read, nth);
    try {
      VerifyArchive(fileSystem, Path(), Several().expected);
      ADD_FAILURE() << "the failing read went unnoticed";
    } catch (const ArchiveError& error) {
      EXPECT_NE(std::string(error.what()).find("reading " + Path()), std::string::npos)
          << error.what();
    }
    EXPECT_EQ(faults.Failures().size(), 1u);
  }
}

}  // namespace
}  // namespace qnd::dir
