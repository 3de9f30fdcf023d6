// Compresses an archive entry's data in pieces of fixed size that can be compressed apart, on any
// thread and in any order, and still join into the one raw deflate stream of the entry (no zlib
// header, 15-bit window, default level, memory level 8, default strategy; a piece that samples show
// deflate cannot shrink goes into stored blocks of the same stream). Each piece is
// compressed with the 32 KiB before it as its dictionary and ends on a byte boundary (a sync
// flush); the last one ends the stream. So the archive's bytes depend only on the data, never on
// how many threads compressed it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

struct z_stream_s;

namespace qnd::dir {

/// The data of a piece; only an entry's last piece is shorter.
inline constexpr std::size_t kPieceSize = 1 << 20;
/// How much of the data before a piece deflate may refer back to: its whole window.
inline constexpr std::size_t kDictionarySize = 32 * 1024;

class PieceDeflater {
 public:
  /// Throws ArchiveError when zlib cannot start.
  PieceDeflater();
  ~PieceDeflater();
  PieceDeflater(const PieceDeflater&) = delete;
  PieceDeflater& operator=(const PieceDeflater&) = delete;

  /// Replaces `compressed` with the deflate data of `data`, which follows `dictionary` (up to
  /// kDictionarySize bytes of the entry just before it; empty for the first piece). `last` ends the
  /// stream. Throws ArchiveError when deflate fails.
  void Compress(std::string_view dictionary, std::string_view data, bool last,
                std::string& compressed);
  /// Compress, appending the deflate data to what `out` holds.
  void Append(std::string_view dictionary, std::string_view data, bool last, std::string& out);

 private:
  struct Sampler;
  std::unique_ptr<z_stream_s> stream_;
  std::unique_ptr<Sampler> sampler_;
};

/// The CRC-32 of a piece; with `previous`, of the bytes before it followed by the piece.
std::uint32_t Crc32(std::string_view piece, std::uint32_t previous = 0);
/// The CRC-32 of two pieces joined, from the CRC-32 of each and the length of the second.
std::uint32_t JoinCrc32(std::uint32_t first, std::uint32_t second, std::uint64_t secondLength);

}  // namespace qnd::dir
