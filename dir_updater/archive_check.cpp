#include "dir_updater/archive_check.h"

#include <zlib.h>

#include <algorithm>
#include <array>
#include <charconv>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "dir_updater/archive_error.h"
#include "dir_updater/zip_format.h"

namespace qnd::dir {
namespace {

using namespace zip;

constexpr std::size_t kReadSize = 1 << 20;
constexpr std::size_t kInflatedSize = 256 * 1024;

std::uint16_t Get16(const unsigned char* at) {
  return static_cast<std::uint16_t>(at[0] | at[1] << 8);
}

std::uint32_t Get32(const unsigned char* at) {
  return Get16(at) | static_cast<std::uint32_t>(Get16(at + 2)) << 16;
}

std::string Quoted(const std::string& name) { return "\"" + name + "\""; }

// Signatures and CRCs read best as the hexadecimal numbers they are written as.
enum class Shown { Decimal, Hex };

std::string Number(std::uint64_t value, Shown shown) {
  if (shown == Shown::Decimal) return std::to_string(value);
  char digits[16];
  char* end = std::to_chars(digits, digits + sizeof digits, value, 16).ptr;
  const std::size_t length = static_cast<std::size_t>(end - digits);
  return "0x" + std::string(length < 8 ? 8 - length : 0, '0') + std::string(digits, end);
}

// The archive read front to back through one buffer; the position counts the bytes taken from it.
class ArchiveStream {
 public:
  ArchiveStream(platform::InputFile& file, const std::string& path, StepProgress* progress)
      : file_(file), path_(path), progress_(progress), buffer_(kReadSize) {}

  std::uint64_t Position() const { return position_; }

  /// The buffered bytes at the position, at least one, reading on when none are left. Throws when
  /// the file ends here, inside `what`.
  std::string_view Available(const std::string& what) {
    if (begin_ == end_ && !Refill())
      throw ArchiveError(path_ + ": the archive ends inside " + what);
    return {buffer_.data() + begin_, end_ - begin_};
  }

  /// Moves past `count` of the bytes Available gave.
  void Skip(std::size_t count) {
    begin_ += count;
    position_ += count;
  }

  /// Copies the next `size` bytes to `out`, wherever the reads split them.
  void Take(void* out, std::size_t size, const std::string& what) {
    char* to = static_cast<char*>(out);
    while (size > 0) {
      const std::string_view chunk = Available(what);
      const std::size_t count = std::min(size, chunk.size());
      std::memcpy(to, chunk.data(), count);
      Skip(count);
      to += count;
      size -= count;
    }
  }

  /// True when the file has no byte left.
  bool AtEnd() { return begin_ == end_ && !Refill(); }

 private:
  bool Refill() {
    std::size_t got = 0;
    ThrowIfFailed(file_.Read(buffer_.data(), buffer_.size(), got), "reading", path_);
    if (progress_) progress_->Add(got);
    begin_ = 0;
    end_ = got;
    return got > 0;
  }

  platform::InputFile& file_;
  const std::string& path_;
  StepProgress* progress_;
  std::vector<char> buffer_;
  std::size_t begin_ = 0;
  std::size_t end_ = 0;
  std::uint64_t position_ = 0;
};

// One raw inflate stream (no zlib header, 15-bit window), reset for each entry.
class Inflater {
 public:
  Inflater() {
    if (inflateInit2(&stream_, -MAX_WBITS) != Z_OK) throw ArchiveError("inflateInit2 failed");
  }
  ~Inflater() { inflateEnd(&stream_); }
  Inflater(const Inflater&) = delete;
  Inflater& operator=(const Inflater&) = delete;

  z_stream& Reset() {
    if (inflateReset(&stream_) != Z_OK) throw ArchiveError("inflateReset failed");
    return stream_;
  }

 private:
  z_stream stream_{};
};

// One pass over the archive: the entries in order, then their central records, then the end.
class ArchiveCheck {
 public:
  ArchiveCheck(platform::InputFile& file, const std::string& path, StepProgress* progress)
      : path_(path), stream_(file, path, progress), inflated_(kInflatedSize) {}

  void Run(const std::vector<ExpectedEntry>& expected) {
    std::vector<LocalEntry> local;
    local.reserve(expected.size());
    for (const ExpectedEntry& entry : expected) local.push_back(CheckLocalEntry(entry));
    const std::uint64_t directoryStart = stream_.Position();
    for (std::size_t i = 0; i < expected.size(); ++i) CheckCentralRecord(expected[i], local[i]);
    CheckEndRecord(expected.size(), directoryStart);
  }

 private:
  // What the central record must repeat of an entry that only the archive knew.
  struct LocalEntry {
    std::uint64_t offset = 0;
    std::uint32_t compressedSize = 0;
  };

  LocalEntry CheckLocalEntry(const ExpectedEntry& expected) {
    const std::string where = "the local header of " + Quoted(expected.entry.name);
    LocalEntry local;
    local.offset = stream_.Position();
    std::array<unsigned char, kLocalHeaderSize> header;
    stream_.Take(header.data(), header.size(), where);
    Require(where, "signature", Get32(header.data()), kLocalHeaderSignature, Shown::Hex);
    local.compressedSize = CheckCommonFields(where, header.data() + 4, expected);
    CheckName(where, expected.entry.name);
    CheckData(expected, local.compressedSize);
    return local;
  }

  // The fields both headers share, from "version needed" to the extra field's length. Returns the
  // compressed size, which only the data itself can prove.
  std::uint32_t CheckCommonFields(const std::string& where, const unsigned char* fields,
                                  const ExpectedEntry& expected) const {
    const ZipEntry& entry = expected.entry;
    Require(where, "version needed", Get16(fields), kVersion);
    Require(where, "flags", Get16(fields + 2), kUtf8Flag);
    Require(where, "method", Get16(fields + 4), kDeflated);
    Require(where, "time", Get16(fields + 6), entry.modified.time);
    Require(where, "date", Get16(fields + 8), entry.modified.date);
    Require(where, "CRC-32", Get32(fields + 10), expected.crc, Shown::Hex);
    Require(where, "uncompressed size", Get32(fields + 18), expected.size);
    Require(where, "name length", Get16(fields + 22), entry.name.size());
    Require(where, "extra field length", Get16(fields + 24), 0);
    return Get32(fields + 14);
  }

  // Called once the name's length is known to match, so no more than the expected name is read.
  void CheckName(const std::string& where, const std::string& name) {
    name_.resize(name.size());
    stream_.Take(name_.data(), name_.size(), where);
    if (name_ != name) Fail(where, "holds another name");
  }

  // Inflates exactly `compressedSize` bytes through the fixed output buffer, summing as it goes.
  void CheckData(const ExpectedEntry& expected, std::uint32_t compressedSize) {
    const std::string where = "the data of " + Quoted(expected.entry.name);
    z_stream& stream = inflater_.Reset();
    stream.avail_in = 0;
    std::uint64_t left = compressedSize;  // not yet handed to inflate
    std::uint64_t size = 0;
    std::uint32_t crc = 0;
    for (;;) {
      if (stream.avail_in == 0 && left > 0) {
        const std::string_view chunk = stream_.Available(where);
        stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(chunk.data()));
        stream.avail_in = static_cast<uInt>(std::min<std::uint64_t>(chunk.size(), left));
      }
      const uInt offered = stream.avail_in;
      stream.next_out = inflated_.data();
      stream.avail_out = static_cast<uInt>(inflated_.size());
      const int result = inflate(&stream, Z_NO_FLUSH);
      const std::size_t consumed = offered - stream.avail_in;
      const std::size_t produced = inflated_.size() - stream.avail_out;
      stream_.Skip(consumed);
      left -= consumed;
      size += produced;
      // Counted as it goes, so a few bytes that would inflate to gigabytes stop here at once.
      if (size > expected.size)
        Fail(where, "inflates to more than " + std::to_string(expected.size) + " bytes");
      crc = static_cast<std::uint32_t>(crc32(crc, inflated_.data(), static_cast<uInt>(produced)));
      if (result == Z_STREAM_END) break;
      if (result != Z_OK && result != Z_BUF_ERROR) Fail(where, "is no valid deflate data");
      // Given input and room, inflate always moves; standing still means it needs bytes beyond
      // the compressed size.
      if (consumed == 0 && produced == 0) Fail(where, "ends before its deflate stream does");
    }
    if (stream.avail_in != 0 || left != 0) Fail(where, "goes on after its deflate stream ends");
    Require(where, "uncompressed size", size, expected.size);
    Require(where, "CRC-32", crc, expected.crc, Shown::Hex);
  }

  void CheckCentralRecord(const ExpectedEntry& expected, const LocalEntry& local) {
    const std::string where = "the central record of " + Quoted(expected.entry.name);
    std::array<unsigned char, kCentralRecordSize> record;
    stream_.Take(record.data(), record.size(), where);
    const unsigned char* r = record.data();
    Require(where, "signature", Get32(r), kCentralHeaderSignature, Shown::Hex);
    Require(where, "version made by", Get16(r + 4), kVersion);
    Require(where, "compressed size", CheckCommonFields(where, r + 6, expected),
            local.compressedSize);
    Require(where, "comment length", Get16(r + 32), 0);
    Require(where, "disk", Get16(r + 34), 0);
    Require(where, "internal attributes", Get16(r + 36), 0);
    Require(where, "external attributes", Get32(r + 38), expected.entry.externalAttributes);
    Require(where, "local header offset", Get32(r + 42), local.offset);
    CheckName(where, expected.entry.name);
  }

  void CheckEndRecord(std::size_t entries, std::uint64_t directoryStart) {
    const std::uint64_t directorySize = stream_.Position() - directoryStart;
    const std::string where = "the end record";
    std::array<unsigned char, kEndRecordSize> record;
    stream_.Take(record.data(), record.size(), where);
    const unsigned char* r = record.data();
    Require(where, "signature", Get32(r), kEndRecordSignature, Shown::Hex);
    Require(where, "disk", Get16(r + 4), 0);
    Require(where, "disk of the central directory", Get16(r + 6), 0);
    Require(where, "entries on this disk", Get16(r + 8), entries);
    Require(where, "entries", Get16(r + 10), entries);
    Require(where, "central directory size", Get32(r + 12), directorySize);
    Require(where, "central directory offset", Get32(r + 16), directoryStart);
    Require(where, "comment length", Get16(r + 20), 0);
    // Whatever followed would be a second archive glued on, or a writer gone wrong.
    if (!stream_.AtEnd()) Fail("the archive", "goes on after its end record");
  }

  // Wide enough for every field and for offsets beyond 4 GiB, which then simply differ.
  void Require(const std::string& where, const char* field, std::uint64_t actual,
               std::uint64_t expected, Shown shown = Shown::Decimal) const {
    if (actual != expected)
      throw ArchiveError(path_ + ": " + where + ": " + field + " is " + Number(actual, shown) +
                         ", expected " + Number(expected, shown));
  }

  [[noreturn]] void Fail(const std::string& where, const std::string& what) const {
    throw ArchiveError(path_ + ": " + where + " " + what);
  }

  const std::string& path_;
  ArchiveStream stream_;
  Inflater inflater_;
  std::vector<Bytef> inflated_;
  std::string name_;
};

}  // namespace

void VerifyArchive(platform::FileSystem& fileSystem, const std::string& path,
                   const std::vector<ExpectedEntry>& expected, StepProgress* progress) {
  std::unique_ptr<platform::InputFile> file;
  ThrowIfFailed(fileSystem.OpenForReading(path, file), "opening", path);
  ArchiveCheck(*file, path, progress).Run(expected);
}

}  // namespace qnd::dir
