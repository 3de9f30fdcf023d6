// Compresses the data of one archive entry: a raw deflate stream (no zlib header, 15-bit window,
// default level, memory level 8, default strategy) and the CRC-32 of the uncompressed bytes. It
// knows nothing of the archive's layout, so an entry's data can be compressed apart from the writer
// that puts entries in order.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string_view>
#include <vector>

struct z_stream_s;

namespace qnd::dir {

class EntryDeflater {
 public:
  /// Receives the compressed bytes as they come, in order.
  using Sink = std::function<void(std::string_view compressed)>;

  /// Throws ArchiveError when zlib cannot start.
  explicit EntryDeflater(Sink sink);
  ~EntryDeflater();
  EntryDeflater(const EntryDeflater&) = delete;
  EntryDeflater& operator=(const EntryDeflater&) = delete;

  /// Compresses `data`; what zlib holds back comes with later calls or with Finish.
  void Add(std::string_view data);
  /// Ends the stream; nothing may be added afterwards.
  void Finish();

  std::uint32_t Crc() const { return crc_; }
  std::uint64_t UncompressedSize() const { return uncompressed_; }

 private:
  void Deflate(int flush);

  Sink sink_;
  std::unique_ptr<z_stream_s> stream_;
  std::vector<char> output_;
  std::uint32_t crc_ = 0;
  std::uint64_t uncompressed_ = 0;
  bool finished_ = false;
};

}  // namespace qnd::dir
