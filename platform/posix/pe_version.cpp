#include "platform/posix/pe_version.h"

#include <algorithm>
#include <array>
#include <cstdint>

namespace qnd::platform::posix {
namespace {

// Offsets are kept in 64 bits: every one is a sum of a few 32-bit values, so none can wrap, and
// each read checks its range against the image.
using Offset = std::uint64_t;

constexpr std::uint32_t kPeSignature = 0x00004550;  // "PE\0\0"
constexpr std::uint16_t kPe32Magic = 0x10B;
constexpr std::uint16_t kPe32PlusMagic = 0x20B;
constexpr std::uint32_t kResourceDirectory = 2;  // index in the data directories
constexpr std::uint32_t kSectionHeaderSize = 40;
constexpr std::uint32_t kRtVersion = 16;
constexpr std::uint32_t kVersionName = 1;
constexpr std::uint32_t kHighBit = 0x80000000;
constexpr std::uint32_t kFixedInfoSignature = 0xFEEF04BD;
constexpr std::uint32_t kFixedInfoSize = 52;
// Neutral first, then German (Germany), then English (United States); else the first entry.
constexpr std::array<std::uint32_t, 3> kLanguagePreference = {0x0000, 0x0407, 0x0409};

class Image {
 public:
  explicit Image(std::string_view bytes) : bytes_(bytes) {}

  bool Holds(Offset offset, Offset length) const {
    return offset <= bytes_.size() && length <= bytes_.size() - offset;
  }
  std::optional<std::uint16_t> U16(Offset offset) const {
    if (!Holds(offset, 2)) return std::nullopt;
    return static_cast<std::uint16_t>(Byte(offset) | Byte(offset + 1) << 8);
  }
  std::optional<std::uint32_t> U32(Offset offset) const {
    if (!Holds(offset, 4)) return std::nullopt;
    return Byte(offset) | Byte(offset + 1) << 8 | Byte(offset + 2) << 16 |
           static_cast<std::uint32_t>(Byte(offset + 3)) << 24;
  }

 private:
  std::uint32_t Byte(Offset offset) const { return static_cast<unsigned char>(bytes_[offset]); }

  std::string_view bytes_;
};

struct Headers {
  Offset sectionTable;
  std::uint16_t sectionCount;
  std::uint32_t resourceRva;
};

std::optional<Headers> ReadHeaders(const Image& image) {
  if (image.U16(0) != 0x5A4D) return std::nullopt;  // "MZ"
  const auto peOffset = image.U32(0x3C);
  if (!peOffset || image.U32(*peOffset) != kPeSignature) return std::nullopt;
  const auto sectionCount = image.U16(*peOffset + 6);
  const auto optionalSize = image.U16(*peOffset + 20);
  const Offset optional = *peOffset + 24;
  const auto magic = image.U16(optional);
  if (!sectionCount || !optionalSize || !magic) return std::nullopt;

  Offset directories = 0;
  if (*magic == kPe32Magic) {
    directories = 96;
  } else if (*magic == kPe32PlusMagic) {
    directories = 112;
  } else {
    return std::nullopt;
  }
  // NumberOfRvaAndSizes directly precedes the directories; an entry it leaves out is absent, as is
  // one that lies outside the optional header.
  const auto directoryCount = image.U32(optional + directories - 4);
  const Offset resourceEntry = directories + 8 * kResourceDirectory;
  if (!directoryCount || *directoryCount <= kResourceDirectory ||
      resourceEntry + 8 > *optionalSize) {
    return std::nullopt;
  }
  const auto resourceRva = image.U32(optional + resourceEntry);
  if (!resourceRva || *resourceRva == 0) return std::nullopt;
  return Headers{optional + *optionalSize, *sectionCount, *resourceRva};
}

// The file offset of `rva`: inside the raw data of the section that holds it. The zero-filled tail
// of a section (VirtualSize beyond SizeOfRawData) has no bytes in the file.
std::optional<Offset> FileOffsetOf(const Image& image, const Headers& headers, std::uint32_t rva) {
  for (std::uint16_t i = 0; i < headers.sectionCount; ++i) {
    const Offset section = headers.sectionTable + Offset{i} * kSectionHeaderSize;
    const auto virtualAddress = image.U32(section + 12);
    const auto rawSize = image.U32(section + 16);
    const auto rawPointer = image.U32(section + 20);
    if (!virtualAddress || !rawSize || !rawPointer) return std::nullopt;  // table cut off
    if (rva >= *virtualAddress && rva - *virtualAddress < *rawSize) {
      return Offset{rva} - *virtualAddress + *rawPointer;
    }
  }
  return std::nullopt;
}

struct DirectoryEntry {
  std::uint32_t id;
  std::uint32_t target;  // offset from the resource root; high bit: a sub-directory
};

// A resource directory's entries: the named ones, then those with an integer ID.
class Directory {
 public:
  Directory(const Image& image, Offset at) : image_(image), at_(at) {}

  std::optional<DirectoryEntry> EntryWithId(std::uint32_t id) const {
    const auto named = image_.U16(at_ + 12);
    const auto ids = image_.U16(at_ + 14);
    if (!named || !ids) return std::nullopt;
    // At most 65535 reads, and fewer when the table runs off the image.
    for (std::uint32_t i = 0; i < *ids; ++i) {
      const auto entry = Entry(*named + i);
      if (!entry) return std::nullopt;
      if (entry->id == id) return entry;
    }
    return std::nullopt;
  }
  std::optional<DirectoryEntry> FirstEntry() const {
    const auto named = image_.U16(at_ + 12);
    const auto ids = image_.U16(at_ + 14);
    if (!named || !ids || *named + *ids == 0) return std::nullopt;
    return Entry(0);
  }

 private:
  std::optional<DirectoryEntry> Entry(std::uint32_t index) const {
    const Offset entry = at_ + 16 + Offset{index} * 8;
    const auto id = image_.U32(entry);
    const auto target = image_.U32(entry + 4);
    if (!id || !target) return std::nullopt;
    return DirectoryEntry{*id, *target};
  }

  const Image& image_;
  Offset at_;
};

std::optional<DirectoryEntry> LanguageEntry(const Directory& languages) {
  for (std::uint32_t language : kLanguagePreference) {
    if (auto entry = languages.EntryWithId(language)) return entry;
  }
  return languages.FirstEntry();
}

struct Span {
  Offset offset;
  std::uint32_t size;
};

// The version resource's data. Exactly three levels are followed (type, name, language), so an
// entry that points back to a directory on the way cannot make the walk go round.
std::optional<Span> FindVersionResource(const Image& image, const Headers& headers) {
  const auto root = FileOffsetOf(image, headers, headers.resourceRva);
  if (!root) return std::nullopt;
  const auto type = Directory(image, *root).EntryWithId(kRtVersion);
  if (!type || !(type->target & kHighBit)) return std::nullopt;
  const auto name = Directory(image, *root + (type->target & ~kHighBit)).EntryWithId(kVersionName);
  if (!name || !(name->target & kHighBit)) return std::nullopt;
  const auto language = LanguageEntry(Directory(image, *root + (name->target & ~kHighBit)));
  if (!language || (language->target & kHighBit)) return std::nullopt;

  // The data entry holds an RVA, not an offset from the resource root.
  const Offset dataEntry = *root + language->target;
  const auto dataRva = image.U32(dataEntry);
  const auto dataSize = image.U32(dataEntry + 4);
  if (!dataRva || !dataSize) return std::nullopt;
  const auto data = FileOffsetOf(image, headers, *dataRva);
  if (!data || !image.Holds(*data, *dataSize)) return std::nullopt;
  return Span{*data, *dataSize};
}

// VS_VERSIONINFO: wLength, wValueLength, wType, the key "VS_VERSION_INFO" in UTF-16 with its zero,
// padding to 4 bytes, then the value, VS_FIXEDFILEINFO.
std::optional<ProductVersion> ReadFixedInfo(const Image& image, Span resource) {
  const Offset block = resource.offset;
  const auto length = image.U16(block);
  const auto valueLength = image.U16(block + 2);
  if (!length || !valueLength || *valueLength < kFixedInfoSize) return std::nullopt;
  const Offset end = block + std::min<Offset>(*length, resource.size);

  // The key ends at its zero; one without a zero inside the block leaves no room for the value.
  Offset key = block + 6;
  for (bool ended = false; !ended; key += 2) {
    const auto unit = key + 2 <= end ? image.U16(key) : std::nullopt;
    if (!unit) return std::nullopt;
    ended = *unit == 0;
  }
  const Offset fixed = block + ((key - block + 3) & ~Offset{3});
  if (fixed + kFixedInfoSize > end) return std::nullopt;
  const auto signature = image.U32(fixed);
  const auto productMs = image.U32(fixed + 16);
  const auto productLs = image.U32(fixed + 20);
  if (signature != kFixedInfoSignature || !productMs || !productLs) return std::nullopt;
  return ProductVersion{static_cast<std::uint16_t>(*productMs >> 16),
                        static_cast<std::uint16_t>(*productMs & 0xFFFF),
                        static_cast<std::uint16_t>(*productLs >> 16),
                        static_cast<std::uint16_t>(*productLs & 0xFFFF)};
}

}  // namespace

std::optional<ProductVersion> ParseProductVersion(std::string_view bytes) {
  const Image image(bytes);
  const auto headers = ReadHeaders(image);
  if (!headers) return std::nullopt;
  const auto resource = FindVersionResource(image, *headers);
  if (!resource) return std::nullopt;
  return ReadFixedInfo(image, *resource);
}

}  // namespace qnd::platform::posix
