// Compresses the pieces of archive entries on worker threads while the calling thread reads the
// files and writes the archive: the caller fills pieces in archive order and gets them back
// compressed in the same order, whichever worker finished first. A piece holds one part of a large
// entry or several small entries whole, so a tree of small files keeps every worker busy too. Every
// file access stays on the calling thread. A fixed number of pieces is in flight, so memory stays
// the same whatever the files' sizes.
#pragma once

#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <exception>
#include <functional>
#include <mutex>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "dir_updater/piece_deflater.h"

namespace qnd::dir {

/// Pieces in flight for each worker: the pieces are handed back in order, so while the oldest is
/// still being compressed, the other workers go on with the later ones only as far as there are
/// pieces to spare. More than four made no run faster, only larger.
inline constexpr std::size_t kPiecesPerWorker = 4;
/// Pieces in flight at most, whatever the number of threads: about 2 MiB each.
inline constexpr std::size_t kMaxPiecesInFlight = 16;
/// Parts in one piece at most, so that a run of empty files still comes back piece by piece.
inline constexpr std::size_t kMaxPartsPerPiece = 256;

/// One per processor core, at least one.
unsigned ProcessorCount();

/// Some of an entry's data, compressed on its own: a whole small entry, or one of the pieces of a
/// large one.
struct PiecePart {
  std::size_t begin = 0;           ///< where its dictionary starts in the piece's input
  std::size_t dictionarySize = 0;  ///< up to kDictionarySize bytes of the entry just before it
  std::size_t size = 0;            ///< of the data, which follows the dictionary
  bool first = false;              ///< the entry's first part
  bool last = false;               ///< the entry's last part: it ends the deflate stream

  std::size_t compressedBegin = 0;  ///< where its deflate data starts in the piece's output
  std::size_t compressedSize = 0;   ///< filled by the compressor
  std::uint32_t crc = 0;            ///< the CRC-32 of the data, filled by the compressor
};

/// What goes through the compressor at a time: up to kDictionarySize + kPieceSize bytes of input
/// holding one part or more, one after the other.
class Piece {
 public:
  Piece() { output_.reserve(kOutputRoom); }

  /// Bytes of input still free for another part's dictionary and data.
  std::size_t Room() const { return input_.size() - used_; }
  /// Where the next part's dictionary, then its data, are to be written.
  char* Next() { return input_.data() + used_; }
  /// Takes the next part, whose bytes the caller has written at Next().
  void AddPart(std::size_t dictionarySize, std::size_t size, bool first, bool last);

  std::span<PiecePart> Parts() { return parts_; }
  std::string_view Dictionary(const PiecePart& part) const {
    return {input_.data() + part.begin, part.dictionarySize};
  }
  std::string_view Data(const PiecePart& part) const {
    return {input_.data() + part.begin + part.dictionarySize, part.size};
  }
  std::string_view Compressed(const PiecePart& part) const {
    return std::string_view(output_).substr(part.compressedBegin, part.compressedSize);
  }

 private:
  friend class PieceCompressor;
  std::vector<char> input_ = std::vector<char>(kDictionarySize + kPieceSize);
  std::size_t used_ = 0;
  std::vector<PiecePart> parts_;
  // The deflate data of all parts, one after the other: one buffer whose size stays bound by the
  // input's, kept from piece to piece so no part allocates its own.
  std::string output_;
  // Deflate's bound for the whole input, and the room each part asks beyond it: the buffer never
  // needs to grow.
  static constexpr std::size_t kOutputRoom =
      (kDictionarySize + kPieceSize) / 1024 * 1025 + kMaxPartsPerPiece * 32;
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

  /// An empty piece to fill and submit. Hands the compressed pieces at the head of the line to
  /// Done first; when no piece is free, waits for the oldest. Throws what compressing a piece
  /// threw.
  Piece& Free();
  /// Queues `piece`, got from Free and given one part or more, behind every piece submitted
  /// before.
  void Submit(Piece& piece);
  /// Waits for every piece in flight and hands each to Done, in order.
  void Finish();

 private:
  /// Compresses each part of `piece` with `deflater` (made when missing); a failure stays with the
  /// piece.
  static void Compress(Piece& piece, std::optional<PieceDeflater>& deflater);
  void Stop();
  void Work();
  /// Hands the compressed pieces at the head of the line to Done; with `wait`, waits for the
  /// oldest first.
  void HandOver(bool wait);

  Done done_;
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
