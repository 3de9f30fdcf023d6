#include "tests/dir_updater/zip_reader.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <functional>
#include <map>

#include "tests/support/temp_dir.h"

namespace qnd::test {
namespace {

class Cursor {
 public:
  Cursor(const std::string& bytes, std::uint64_t at) : bytes_(bytes), at_(at) {}
  bool Fits(std::uint64_t count) const { return at_ + count <= bytes_.size(); }
  std::uint16_t U16() {
    const std::uint16_t value = static_cast<std::uint16_t>(Byte(0) | Byte(1) << 8);
    at_ += 2;
    return value;
  }
  std::uint32_t U32() {
    const std::uint32_t low = U16();
    return low | static_cast<std::uint32_t>(U16()) << 16;
  }
  std::string Text(std::size_t length) {
    std::string text = bytes_.substr(static_cast<std::size_t>(at_), length);
    at_ += length;
    return text;
  }
  std::uint64_t At() const { return at_; }

 private:
  unsigned Byte(int i) const {
    return static_cast<unsigned char>(bytes_[static_cast<std::size_t>(at_) + i]);
  }
  const std::string& bytes_;
  std::uint64_t at_;
};

bool ParseLocal(const std::string& bytes, std::uint64_t at, LocalHeader& h) {
  Cursor c(bytes, at);
  if (!c.Fits(30)) return false;
  h.offset = at;
  h.signature = c.U32();
  h.versionNeeded = c.U16();
  h.flags = c.U16();
  h.method = c.U16();
  h.time = c.U16();
  h.date = c.U16();
  h.crc = c.U32();
  h.compressedSize = c.U32();
  h.uncompressedSize = c.U32();
  h.nameLength = c.U16();
  h.extraLength = c.U16();
  if (!c.Fits(h.nameLength + h.extraLength)) return false;
  h.name = c.Text(h.nameLength);
  c.Text(h.extraLength);
  h.dataOffset = c.At();
  return h.signature == 0x04034b50 && c.Fits(h.compressedSize);
}

bool ParseCentral(Cursor& c, CentralHeader& h) {
  if (!c.Fits(46)) return false;
  h.signature = c.U32();
  h.versionMadeBy = c.U16();
  h.versionNeeded = c.U16();
  h.flags = c.U16();
  h.method = c.U16();
  h.time = c.U16();
  h.date = c.U16();
  h.crc = c.U32();
  h.compressedSize = c.U32();
  h.uncompressedSize = c.U32();
  h.nameLength = c.U16();
  h.extraLength = c.U16();
  h.commentLength = c.U16();
  h.diskStart = c.U16();
  h.internalAttributes = c.U16();
  h.externalAttributes = c.U32();
  h.localHeaderOffset = c.U32();
  if (!c.Fits(h.nameLength + h.extraLength + h.commentLength)) return false;
  h.name = c.Text(h.nameLength);
  c.Text(h.extraLength + h.commentLength);
  return h.signature == 0x02014b50;
}

// Inflates the entry's data, handing each piece to `take`; false unless the stream ends exactly at
// the end of the entry's data.
bool Inflate(const std::string& bytes, const LocalHeader& header,
             const std::function<void(const char*, std::size_t)>& take) {
  z_stream stream{};
  if (inflateInit2(&stream, -MAX_WBITS) != Z_OK) return false;
  stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(bytes.data() + header.dataOffset));
  stream.avail_in = header.compressedSize;
  std::string out(1 << 16, '\0');
  int result = Z_OK;
  while (result == Z_OK) {
    stream.next_out = reinterpret_cast<Bytef*>(out.data());
    stream.avail_out = static_cast<uInt>(out.size());
    result = inflate(&stream, Z_NO_FLUSH);
    take(out.data(), out.size() - stream.avail_out);
  }
  const bool complete = result == Z_STREAM_END && stream.avail_in == 0;
  inflateEnd(&stream);
  return complete;
}

}  // namespace

ZipContents ParseZip(const std::string& bytes) {
  ZipContents zip;
  if (bytes.size() < 22) {
    ADD_FAILURE() << "no end record in " << bytes.size() << " bytes";
    return zip;
  }
  Cursor end(bytes, bytes.size() - 22);
  EndRecord& e = zip.end;
  e.offset = end.At();
  e.signature = end.U32();
  e.disk = end.U16();
  e.directoryDisk = end.U16();
  e.entriesOnDisk = end.U16();
  e.entries = end.U16();
  e.directorySize = end.U32();
  e.directoryOffset = end.U32();
  e.commentLength = end.U16();
  EXPECT_EQ(e.signature, 0x06054b50u) << "the archive does not end with the end record";
  EXPECT_EQ(std::uint64_t{e.directoryOffset} + e.directorySize, e.offset)
      << "the central directory does not end where the end record begins";

  Cursor central(bytes, e.directoryOffset);
  for (unsigned i = 0; i < e.entries; ++i) {
    CentralHeader header;
    if (!ParseCentral(central, header)) {
      ADD_FAILURE() << "central header " << i << " is broken";
      return zip;
    }
    zip.central.push_back(std::move(header));
  }
  EXPECT_EQ(central.At(), e.offset) << "the central directory holds more than its entries";

  std::uint64_t at = 0;
  while (at < e.directoryOffset) {
    LocalHeader header;
    if (!ParseLocal(bytes, at, header)) {
      ADD_FAILURE() << "no complete local header at " << at;
      return zip;
    }
    at = header.dataOffset + header.compressedSize;
    zip.local.push_back(std::move(header));
  }
  EXPECT_EQ(at, e.directoryOffset) << "the last entry's data runs into the central directory";
  return zip;
}

std::string InflateEntry(const std::string& bytes, const LocalHeader& header) {
  std::string data;
  EXPECT_TRUE(Inflate(bytes, header, [&data](const char* p, std::size_t n) { data.append(p, n); }))
      << header.name << " holds no complete raw deflate stream";
  return data;
}

InflatedSums InflateEntrySums(const std::string& bytes, const LocalHeader& header) {
  InflatedSums sums;
  uLong crc = crc32(0, nullptr, 0);
  EXPECT_TRUE(Inflate(bytes, header,
                      [&](const char* p, std::size_t n) {
                        crc = crc32(crc, reinterpret_cast<const Bytef*>(p), static_cast<uInt>(n));
                        sums.size += n;
                      }))
      << header.name << " holds no complete raw deflate stream";
  sums.crc = static_cast<std::uint32_t>(crc);
  return sums;
}

std::uint32_t Crc32(const std::string& data) {
  return static_cast<std::uint32_t>(crc32(crc32(0, nullptr, 0),
                                          reinterpret_cast<const Bytef*>(data.data()),
                                          static_cast<uInt>(data.size())));
}

std::map<std::string, std::string> ReadCompleteArchive(const std::string& path) {
  SCOPED_TRACE(path);
  return CompleteArchiveFiles(ReadFileBytes(path));
}

std::map<std::string, std::string> CompleteArchiveFiles(const std::string& bytes) {
  const ZipContents zip = ParseZip(bytes);
  EXPECT_EQ(zip.central.size(), zip.local.size());
  std::map<std::string, std::string> files;
  for (std::size_t i = 0; i < zip.local.size(); ++i) {
    const LocalHeader& local = zip.local[i];
    const std::string data = InflateEntry(bytes, local);
    EXPECT_EQ(local.crc, Crc32(data)) << local.name;
    EXPECT_EQ(local.uncompressedSize, data.size()) << local.name;
    if (i < zip.central.size()) {
      EXPECT_EQ(zip.central[i].name, local.name);
      EXPECT_EQ(zip.central[i].crc, local.crc) << local.name;
      EXPECT_EQ(zip.central[i].localHeaderOffset, local.offset) << local.name;
    }
    EXPECT_TRUE(files.emplace(local.name, data).second) << "twice in the archive: " << local.name;
  }
  return files;
}

}  // namespace qnd::test
