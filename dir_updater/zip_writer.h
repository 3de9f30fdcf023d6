// Writes a ZIP archive in one pass, as PKWARE's application note describes it without the 64-bit
// extension: for each entry its local header and its compressed data, then its CRC-32 and sizes
// filled into that header (no data descriptor); at the end the central directory in the order the
// entries were written and the end record. Every entry has version made by 20 (MS-DOS), version
// needed 20, flag 0x0800 (name in UTF-8), method 8 (deflate), no extra field and no comment, disk 0
// and internal attributes 0; the archive has no comment.
//
// What does not fit the format throws ArchiveError before it is written: more than 65,535 entries,
// a name longer than 65,535 bytes, an entry of 0xFFFFFFFF bytes or more, an archive longer than
// 0xFFFFFFFF bytes. (0xFFFFFFFF itself is what readers take for the mark of the 64-bit extension.)
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/open_file.h"
#include "platform/regional.h"

namespace qnd::dir {

inline constexpr std::size_t kMaxZipEntries = 0xFFFF;
/// The largest entry size and archive length the format holds without the 64-bit extension.
inline constexpr std::uint64_t kMaxEntrySize = 0xFFFFFFFE;
inline constexpr std::uint64_t kMaxArchiveSize = 0xFFFFFFFF;

/// The format's limits, with one message each: throw ArchiveError when `entries` entries, an entry
/// of `size` bytes (`what` names it, if given) or an archive of `size` bytes would not fit. Called
/// where a count or size first becomes known, and by the writer as its last guard.
void RequireEntryCount(std::size_t entries);
void RequireEntrySize(std::uint64_t size, const std::string& what = {});
void RequireArchiveSize(std::uint64_t size);

struct DosDateTime {
  std::uint16_t date = 0;
  std::uint16_t time = 0;
  friend bool operator==(const DosDateTime&, const DosDateTime&) = default;
};

/// `time` in the DOS format: seconds halved (rounded down); date and time 0 when there is no time
/// or it lies outside the years 1980 to 2107.
DosDateTime ToDosDateTime(const std::optional<platform::CalendarTime>& time);

/// An entry's external attributes: the file's attribute bits that the format keeps (mask 0x7BF7).
std::uint32_t ExternalAttributes(std::uint32_t attributes);

struct ZipEntry {
  std::string name;  ///< UTF-8
  DosDateTime modified;
  std::uint32_t externalAttributes = 0;
};

class ZipWriter {
 public:
  /// Writes into `file` through a buffer of `bufferSize` bytes.
  explicit ZipWriter(platform::OutputFile& file, std::size_t bufferSize = 1 << 20);

  /// Writes the local header of the next entry; its data follows through WriteData.
  void BeginEntry(const ZipEntry& entry);
  /// Appends compressed data of the current entry.
  void WriteData(std::string_view compressed);
  /// Fills CRC and sizes into the entry's local header (through a seek back when that header has
  /// left the buffer already) and keeps its central-directory record.
  void EndEntry(std::uint32_t crc, std::uint64_t uncompressedSize);
  /// Writes the central directory and the end record and hands every byte to the file. Putting
  /// them on stable storage and closing the file is the caller's.
  void Finish();

  /// Bytes of the archive so far.
  std::uint64_t Size() const { return written_ + buffer_.size(); }

 private:
  struct Record {
    ZipEntry entry;
    std::uint32_t crc = 0;
    std::uint32_t compressedSize = 0;
    std::uint32_t uncompressedSize = 0;
    std::uint32_t offset = 0;
  };

  void Put(std::string_view bytes);
  void Drain();
  void Patch(std::uint64_t offset, std::string_view bytes);

  platform::OutputFile& file_;
  std::size_t bufferSize_;
  std::string buffer_;
  std::uint64_t written_ = 0;  ///< bytes handed to the file; the buffer follows them
  std::vector<Record> records_;
  bool entryOpen_ = false;
  std::uint64_t dataStart_ = 0;
  bool finished_ = false;
};

}  // namespace qnd::dir
