// Compresses the pieces of archive entries on worker threads while the calling thread reads the
// files and writes the archive: the caller fills pieces in archive order and gets them back
// compressed in the same order, whichever worker finished first. Every file access stays on the
// calling thread. A fixed number of pieces is in flight, so memory stays the same whatever the
// files' sizes.
#pragma once

#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <exception>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "dir_updater/piece_deflater.h"

namespace qnd::dir {

/// Pieces in flight for each worker: the pieces are handed back in order, so while the oldest
/// (noise compresses slowly) is still being compressed, the other workers go on with the later
/// ones only as far as there are pieces to spare.
inline constexpr std::size_t kPiecesPerWorker = 8;
/// Pieces in flight at most, whatever the number of threads: about 2 MiB each.
inline constexpr std::size_t kMaxPiecesInFlight = 16;
/// Pieces of at most this many bytes are compressed on the calling thread: handing them to a
/// worker and back would cost about as much, and a tree of many small files would wake a worker
/// for each.
inline constexpr std::size_t kCompressedByCaller = 16 * 1024;

/// One per processor core, at least one.
unsigned ProcessorCount();

/// A piece of an entry's data on its way through the compressor.
struct Piece {
  /// The dictionary (up to kDictionarySize bytes of the entry just before the data), then the
  /// data (up to kPieceSize bytes).
  std::vector<char> input = std::vector<char>(kDictionarySize + kPieceSize);
  std::size_t dictionarySize = 0;
  std::size_t size = 0;  ///< of the data
  bool first = false;    ///< the entry's first piece
  bool last = false;     ///< the entry's last piece: it ends the deflate stream

  std::string compressed;  ///< filled by the compressor
  std::uint32_t crc = 0;   ///< the CRC-32 of the data, filled by the compressor

  char* Data() { return input.data() + dictionarySize; }
  std::string_view Dictionary() const { return {input.data(), dictionarySize}; }
  std::string_view DataView() const { return {input.data() + dictionarySize, size}; }

 private:
  friend class PieceCompressor;
  bool compressed_ = false;
  std::exception_ptr failure_;
};

class PieceCompressor {
 public:
  /// Receives each compressed piece on the calling thread, in the order the pieces were submitted.
  using Done = std::function<void(Piece& piece)>;

  /// Starts `threads` workers (at least one), with kPiecesPerWorker pieces in flight for each, at
  /// most kMaxPiecesInFlight.
  PieceCompressor(unsigned threads, Done done);
  /// Stops the workers; pieces still in flight are dropped.
  ~PieceCompressor();
  PieceCompressor(const PieceCompressor&) = delete;
  PieceCompressor& operator=(const PieceCompressor&) = delete;

  /// A piece to fill and submit. Hands the compressed pieces at the head of the line to Done
  /// first; when no piece is free, waits for the oldest. Throws what compressing a piece threw.
  Piece& Free();
  /// Queues `piece`, got from Free and filled, behind every piece submitted before.
  void Submit(Piece& piece);
  /// Waits for every piece in flight and hands each to Done, in order.
  void Finish();

 private:
  /// Compresses `piece` with `deflater` (made when missing); a failure stays with the piece.
  static void Compress(Piece& piece, std::optional<PieceDeflater>& deflater);
  void Stop();
  void Work();
  /// Hands the compressed pieces at the head of the line to Done; with `wait`, waits for the
  /// oldest first.
  void HandOver(bool wait);

  Done done_;
  std::optional<PieceDeflater> callerDeflater_;
  std::vector<Piece> pieces_;
  std::deque<Piece*> free_;      // calling thread only
  std::deque<Piece*> inFlight_;  // calling thread only: submitted, in order
  std::mutex mutex_;
  std::condition_variable workToDo_;
  std::condition_variable pieceCompressed_;
  std::deque<Piece*> queue_;  // submitted and not yet taken by a worker
  bool stopping_ = false;
  std::vector<std::thread> workers_;
};

}  // namespace qnd::dir
