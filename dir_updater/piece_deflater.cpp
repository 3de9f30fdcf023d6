#include "dir_updater/piece_deflater.h"

#include <zlib.h>

#include <algorithm>
#include <vector>

#include "dir_updater/archive_error.h"

namespace qnd::dir {
namespace {

static_assert(kPieceSize <= 0xFFFFFFFFu, "zlib counts a piece in uInt");

Bytef* Bytes(std::string_view data) {
  return reinterpret_cast<Bytef*>(const_cast<char*>(data.data()));
}

// Data that deflate cannot shrink (compressed images, archives, packed programs) would cost it its
// full effort for nothing; such a part goes into stored blocks instead. Whether it is such data is
// told by a few samples spread over it, each deflated fast and on its own, each as long as
// deflate's window: a repetition within half the window shows in them. Parts shorter than twice
// all samples together are always deflated.
constexpr std::size_t kSampleSize = 32 * 1024;
constexpr std::size_t kSamples = 4;
constexpr std::size_t kSampledFrom = 2 * kSamples * kSampleSize;
// A sample that deflate shrinks by less than this many parts in a hundred does not count as shrunk.
constexpr std::size_t kShrinksBy = 1;

}  // namespace

struct PieceDeflater::Sampler {
  Sampler() {
    if (deflateInit2(&stream, Z_BEST_SPEED, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY) != Z_OK)
      throw ArchiveError("deflateInit2 failed");
    output.resize(deflateBound(&stream, kSampleSize));
  }
  ~Sampler() { deflateEnd(&stream); }

  // The samples' places depend on the data's length only, so the archive's bytes do not depend on
  // anything but the data.
  bool Incompressible(std::string_view data) {
    if (data.size() < kSampledFrom) return false;
    for (std::size_t sample = 0; sample < kSamples; ++sample) {
      const std::size_t at = (data.size() - kSampleSize) * sample / (kSamples - 1);
      if (deflateReset(&stream) != Z_OK) throw ArchiveError("deflateReset failed");
      stream.next_in = Bytes(data.substr(at, kSampleSize));
      stream.avail_in = static_cast<uInt>(kSampleSize);
      stream.next_out = output.data();
      stream.avail_out = static_cast<uInt>(output.size());
      if (deflate(&stream, Z_FINISH) != Z_STREAM_END) throw ArchiveError("deflate failed");
      if (stream.total_out * 100 < kSampleSize * (100 - kShrinksBy)) return false;
    }
    return true;
  }

  z_stream stream{};
  std::vector<Bytef> output;
};

PieceDeflater::PieceDeflater()
    : stream_(std::make_unique<z_stream>()), sampler_(std::make_unique<Sampler>()) {
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
  const bool stored = sampler_->Incompressible(data);
  if (deflateReset(&stream) != Z_OK) throw ArchiveError("deflateReset failed");
  // Set right after the reset, before the dictionary and any input, the level changes nothing
  // else: the stream is as a new one at that level, whatever this deflater compressed before.
  if (deflateParams(&stream, stored ? 0 : Z_DEFAULT_COMPRESSION, Z_DEFAULT_STRATEGY) != Z_OK)
    throw ArchiveError("deflateParams failed");
  if (!dictionary.empty() && deflateSetDictionary(&stream, Bytes(dictionary),
                                                  static_cast<uInt>(dictionary.size())) != Z_OK)
    throw ArchiveError("deflateSetDictionary failed");

  // The bound holds for a finished stream; a sync flush adds its empty stored block of 5 bytes.
  // Stored blocks carry a header of 5 bytes each, however short zlib cuts them.
  std::size_t bound = deflateBound(&stream, static_cast<uLong>(data.size()));
  if (stored) bound = std::max(bound, data.size() + 5 * (data.size() / 4096 + 2));
  const std::size_t start = out.size();
  out.resize(start + bound + 8);
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
