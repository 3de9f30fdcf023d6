// Reads a ZIP archive field by field, following PKWARE's application note on its own (it shares no
// code with the writer), so tests can check every header field the archive step writes.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace qnd::test {

struct LocalHeader {
  std::uint64_t offset = 0;
  std::uint32_t signature = 0;
  std::uint16_t versionNeeded = 0, flags = 0, method = 0, time = 0, date = 0;
  std::uint32_t crc = 0, compressedSize = 0, uncompressedSize = 0;
  std::uint16_t nameLength = 0, extraLength = 0;
  std::string name;
  std::uint64_t dataOffset = 0;
};

struct CentralHeader {
  std::uint32_t signature = 0;
  std::uint16_t versionMadeBy = 0, versionNeeded = 0, flags = 0, method = 0, time = 0, date = 0;
  std::uint32_t crc = 0, compressedSize = 0, uncompressedSize = 0;
  std::uint16_t nameLength = 0, extraLength = 0, commentLength = 0, diskStart = 0,
                internalAttributes = 0;
  std::uint32_t externalAttributes = 0, localHeaderOffset = 0;
  std::string name;
};

struct EndRecord {
  std::uint64_t offset = 0;
  std::uint32_t signature = 0;
  std::uint16_t disk = 0, directoryDisk = 0, entriesOnDisk = 0, entries = 0;
  std::uint32_t directorySize = 0, directoryOffset = 0;
  std::uint16_t commentLength = 0;
};

struct ZipContents {
  std::vector<LocalHeader> local;  ///< in file order, read one after the other from offset 0
  std::vector<CentralHeader> central;
  EndRecord end;
};

/// Parses `bytes`; fails the current test (and returns what it has) where the layout is broken:
/// local headers must follow each other without gaps up to the central directory, which must end
/// where the end record begins, and the archive must end with that record.
ZipContents ParseZip(const std::string& bytes);

/// The entry's data inflated as a raw deflate stream; fails the test when it is no complete one.
std::string InflateEntry(const std::string& bytes, const LocalHeader& header);

/// CRC-32 and length of the inflated data, inflated piece by piece without keeping it.
struct InflatedSums {
  std::uint32_t crc = 0;
  std::uint64_t size = 0;
};
InflatedSums InflateEntrySums(const std::string& bytes, const LocalHeader& header);

/// The files of the archive at `path`, by entry name. Fails the current test where the archive is
/// not complete and valid: its layout, each entry's deflate stream, CRC-32 and sizes, and a central
/// directory that names the local entries in their order.
std::map<std::string, std::string> ReadCompleteArchive(const std::string& path);
/// The same for an archive's bytes.
std::map<std::string, std::string> CompleteArchiveFiles(const std::string& bytes);

/// zlib's CRC-32 of `data`.
std::uint32_t Crc32(const std::string& data);

}  // namespace qnd::test
