#include "dir_updater/entry_deflater.h"

#include <zlib.h>

#include <algorithm>

#include "dir_updater/archive_error.h"

namespace qnd::dir {
namespace {

constexpr std::size_t kOutputChunk = 64 * 1024;
// zlib counts in uInt; larger pieces are handed over in parts.
constexpr std::size_t kInputChunk = 1u << 30;

}  // namespace

EntryDeflater::EntryDeflater(Sink sink)
    : sink_(std::move(sink)), stream_(std::make_unique<z_stream>()), output_(kOutputChunk) {
  if (deflateInit2(stream_.get(), Z_DEFAULT_COMPRESSION, Z_DEFLATED, -MAX_WBITS, 8,
                   Z_DEFAULT_STRATEGY) != Z_OK)
    throw ArchiveError("deflateInit2 failed");
}

EntryDeflater::~EntryDeflater() { deflateEnd(stream_.get()); }

void EntryDeflater::Add(std::string_view data) {
  if (finished_) throw ArchiveError("entry data added after its end");
  while (!data.empty()) {
    const std::size_t part = std::min(data.size(), kInputChunk);
    crc_ = static_cast<std::uint32_t>(
        crc32(crc_, reinterpret_cast<const Bytef*>(data.data()), static_cast<uInt>(part)));
    uncompressed_ += part;
    stream_->next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.data()));
    stream_->avail_in = static_cast<uInt>(part);
    Deflate(Z_NO_FLUSH);
    data.remove_prefix(part);
  }
}

void EntryDeflater::Finish() {
  if (finished_) return;
  stream_->next_in = nullptr;
  stream_->avail_in = 0;
  Deflate(Z_FINISH);
  finished_ = true;
}

// Runs deflate until it has taken all input (or, when finishing, ended the stream), passing each
// filled piece of output on at once, so memory stays the same whatever the entry's size.
void EntryDeflater::Deflate(int flush) {
  for (;;) {
    stream_->next_out = reinterpret_cast<Bytef*>(output_.data());
    stream_->avail_out = static_cast<uInt>(output_.size());
    const int result = deflate(stream_.get(), flush);
    if (result == Z_STREAM_ERROR) throw ArchiveError("deflate failed");
    const std::size_t produced = output_.size() - stream_->avail_out;
    if (produced > 0) sink_(std::string_view(output_.data(), produced));
    if (flush == Z_FINISH ? result == Z_STREAM_END
                          : stream_->avail_in == 0 && stream_->avail_out != 0)
      return;
  }
}

}  // namespace qnd::dir
