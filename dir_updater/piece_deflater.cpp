#include "dir_updater/piece_deflater.h"

#include <zlib.h>

#include "dir_updater/archive_error.h"

namespace qnd::dir {
namespace {

static_assert(kPieceSize <= 0xFFFFFFFFu, "zlib counts a piece in uInt");

Bytef* Bytes(std::string_view data) {
  return reinterpret_cast<Bytef*>(const_cast<char*>(data.data()));
}

}  // namespace

PieceDeflater::PieceDeflater() : stream_(std::make_unique<z_stream>()) {
  if (deflateInit2(stream_.get(), Z_DEFAULT_COMPRESSION, Z_DEFLATED, -MAX_WBITS, 8,
                   Z_DEFAULT_STRATEGY) != Z_OK)
    throw ArchiveError("deflateInit2 failed");
}

PieceDeflater::~PieceDeflater() { deflateEnd(stream_.get()); }

void PieceDeflater::Compress(std::string_view dictionary, std::string_view data, bool last,
                             std::string& compressed) {
  compressed.clear();
  Append(dictionary, data, last, compressed);
}

void PieceDeflater::Append(std::string_view dictionary, std::string_view data, bool last,
                           std::string& out) {
  z_stream& stream = *stream_;
  if (deflateReset(&stream) != Z_OK) throw ArchiveError("deflateReset failed");
  if (!dictionary.empty() && deflateSetDictionary(&stream, Bytes(dictionary),
                                                  static_cast<uInt>(dictionary.size())) != Z_OK)
    throw ArchiveError("deflateSetDictionary failed");

  // The bound holds for a finished stream; a sync flush adds its empty stored block of 5 bytes.
  const std::size_t start = out.size();
  out.resize(start + deflateBound(&stream, static_cast<uLong>(data.size())) + 8);
  stream.next_in = Bytes(data);
  stream.avail_in = static_cast<uInt>(data.size());
  stream.next_out = reinterpret_cast<Bytef*>(out.data() + start);
  stream.avail_out = static_cast<uInt>(out.size() - start);
  const int result = deflate(&stream, last ? Z_FINISH : Z_SYNC_FLUSH);
  // With room for all of it, deflate takes every byte and ends the piece in one call.
  if (result != (last ? Z_STREAM_END : Z_OK) || stream.avail_in != 0 || stream.avail_out == 0)
    throw ArchiveError("deflate failed");
  // Cut to what deflate wrote; erase only ever shortens, which GCC 12 sees (resize makes it warn of
  // a false overlap in the x86_64 build).
  out.erase(out.size() - stream.avail_out);
}

std::uint32_t Crc32(std::string_view piece, std::uint32_t previous) {
  return static_cast<std::uint32_t>(crc32(previous, Bytes(piece), static_cast<uInt>(piece.size())));
}

std::uint32_t JoinCrc32(std::uint32_t first, std::uint32_t second, std::uint64_t secondLength) {
  return static_cast<std::uint32_t>(
      crc32_combine(first, second, static_cast<z_off_t>(secondLength)));
}

}  // namespace qnd::dir
