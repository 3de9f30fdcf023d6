#include "dir_updater/zip_writer.h"

#include "dir_updater/archive_error.h"
#include "dir_updater/zip_format.h"

namespace qnd::dir {
namespace {

using namespace zip;

constexpr std::uint64_t kSumsOffset = 14;  // CRC-32 and both sizes in the local header

void Append16(std::string& out, std::uint16_t value) {
  out += static_cast<char>(value & 0xFF);
  out += static_cast<char>(value >> 8);
}

void Append32(std::string& out, std::uint32_t value) {
  Append16(out, static_cast<std::uint16_t>(value & 0xFFFF));
  Append16(out, static_cast<std::uint16_t>(value >> 16));
}

std::string Sums(std::uint32_t crc, std::uint32_t compressed, std::uint32_t uncompressed) {
  std::string out;
  Append32(out, crc);
  Append32(out, compressed);
  Append32(out, uncompressed);
  return out;
}

// The fields local and central headers share, from "version needed" to the name's length.
void AppendCommonFields(std::string& out, const ZipEntry& entry, const std::string& sums) {
  Append16(out, kVersion);
  Append16(out, kUtf8Flag);
  Append16(out, kDeflated);
  Append16(out, entry.modified.time);
  Append16(out, entry.modified.date);
  out += sums;
  Append16(out, static_cast<std::uint16_t>(entry.name.size()));
  Append16(out, 0);  // extra field
}

}  // namespace

DosDateTime ToDosDateTime(const std::optional<platform::CalendarTime>& time) {
  if (!time || time->year < 1980 || time->year > 2107) return {};
  return {static_cast<std::uint16_t>((time->year - 1980) << 9 | time->month << 5 | time->day),
          static_cast<std::uint16_t>(time->hour << 11 | time->minute << 5 | time->second / 2)};
}

std::uint32_t ExternalAttributes(std::uint32_t attributes) { return attributes & 0x7BF7; }

ZipWriter::ZipWriter(platform::OutputFile& file, std::size_t bufferSize)
    : file_(file), bufferSize_(bufferSize) {
  buffer_.reserve(bufferSize_);
}

void RequireEntryCount(std::size_t entries) {
  if (entries > kMaxZipEntries) throw ArchiveError("more than 65535 files do not fit the archive");
}

void RequireEntrySize(std::uint64_t size, const std::string& what) {
  if (size > kMaxEntrySize)
    throw ArchiveError("a file of 4 GiB or more does not fit the archive" +
                       (what.empty() ? std::string() : ": " + what));
}

void RequireArchiveSize(std::uint64_t size) {
  if (size > kMaxArchiveSize)
    throw ArchiveError("an archive of 4 GiB or more does not fit the format");
}

void ZipWriter::BeginEntry(const ZipEntry& entry) {
  if (entryOpen_ || finished_) throw ArchiveError("entry begun out of order");
  RequireEntryCount(records_.size() + 1);
  if (entry.name.size() > 0xFFFF) throw ArchiveError("entry name too long: " + entry.name);
  Record record;
  record.entry = entry;
  record.offset = static_cast<std::uint32_t>(Size());  // Put keeps every offset below 2^32
  std::string header;
  Append32(header, kLocalHeaderSignature);
  AppendCommonFields(header, entry, Sums(0, 0, 0));
  header += entry.name;
  Put(header);
  records_.push_back(std::move(record));
  entryOpen_ = true;
  dataStart_ = Size();
}

void ZipWriter::WriteData(std::string_view compressed) {
  if (!entryOpen_) throw ArchiveError("entry data outside an entry");
  Put(compressed);
}

void ZipWriter::EndEntry(std::uint32_t crc, std::uint64_t uncompressedSize) {
  if (!entryOpen_) throw ArchiveError("entry ended out of order");
  RequireEntrySize(uncompressedSize, records_.back().entry.name);
  Record& record = records_.back();
  record.crc = crc;
  record.compressedSize = static_cast<std::uint32_t>(Size() - dataStart_);
  record.uncompressedSize = static_cast<std::uint32_t>(uncompressedSize);
  Patch(record.offset + kSumsOffset,
        Sums(record.crc, record.compressedSize, record.uncompressedSize));
  entryOpen_ = false;
}

void ZipWriter::Finish() {
  if (entryOpen_ || finished_) throw ArchiveError("archive finished out of order");
  const std::uint64_t directoryStart = Size();
  for (const Record& record : records_) {
    std::string header;
    Append32(header, kCentralHeaderSignature);
    Append16(header, kVersion);  // made by
    AppendCommonFields(header, record.entry,
                       Sums(record.crc, record.compressedSize, record.uncompressedSize));
    Append16(header, 0);  // comment
    Append16(header, 0);  // disk
    Append16(header, 0);  // internal attributes
    Append32(header, record.entry.externalAttributes);
    Append32(header, record.offset);
    header += record.entry.name;
    Put(header);
  }
  const std::uint64_t directorySize = Size() - directoryStart;
  std::string end;
  Append32(end, kEndRecordSignature);
  Append16(end, 0);  // this disk
  Append16(end, 0);  // disk of the central directory
  Append16(end, static_cast<std::uint16_t>(records_.size()));
  Append16(end, static_cast<std::uint16_t>(records_.size()));
  Append32(end, static_cast<std::uint32_t>(directorySize));
  Append32(end, static_cast<std::uint32_t>(directoryStart));
  Append16(end, 0);  // comment
  Put(end);
  Drain();
  finished_ = true;
}

// Every byte goes through here, so no offset or size the format stores can pass 32 bits.
void ZipWriter::Put(std::string_view bytes) {
  RequireArchiveSize(Size() + bytes.size());
  if (buffer_.size() + bytes.size() > bufferSize_) Drain();
  if (bytes.size() >= bufferSize_) {
    ThrowIfFailed(file_.Write(bytes.data(), bytes.size()), "writing the archive");
    written_ += bytes.size();
    return;
  }
  buffer_.append(bytes);
}

void ZipWriter::Drain() {
  if (buffer_.empty()) return;
  ThrowIfFailed(file_.Write(buffer_.data(), buffer_.size()), "writing the archive");
  written_ += buffer_.size();
  buffer_.clear();
}

// A header still in the buffer is patched there; one already written is rewritten in the file.
void ZipWriter::Patch(std::uint64_t offset, std::string_view bytes) {
  if (offset >= written_) {
    buffer_.replace(static_cast<std::size_t>(offset - written_), bytes.size(), bytes);
    return;
  }
  Drain();
  ThrowIfFailed(file_.Seek(offset), "seeking in the archive");
  ThrowIfFailed(file_.Write(bytes.data(), bytes.size()), "writing the archive");
  ThrowIfFailed(file_.Seek(written_), "seeking in the archive");
}

}  // namespace qnd::dir
