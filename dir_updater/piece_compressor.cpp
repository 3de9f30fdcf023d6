#include "dir_updater/piece_compressor.h"

#include <algorithm>

namespace qnd::dir {

unsigned ProcessorCount() { return std::max(1u, std::thread::hardware_concurrency()); }

void Piece::AddPart(std::size_t dictionarySize, std::size_t size, bool first, bool last) {
  PiecePart& part = parts_.emplace_back();
  part.begin = used_;
  part.dictionarySize = dictionarySize;
  part.size = size;
  part.first = first;
  part.last = last;
  used_ += dictionarySize + size;
}

PieceCompressor::PieceCompressor(unsigned threads, Done done)
    : done_(std::move(done)),
      pieces_(std::min<std::size_t>(kPiecesPerWorker * std::max(1u, threads), kMaxPiecesInFlight)) {
  for (Piece& piece : pieces_) free_.push_back(&piece);
  // More workers than pieces would never have anything to do.
  const std::size_t workers = std::min<std::size_t>(std::max(1u, threads), pieces_.size());
  try {
    for (std::size_t i = 0; i < workers; ++i) workers_.emplace_back([this] { Work(); });
  } catch (...) {
    Stop();
    throw;
  }
}

PieceCompressor::~PieceCompressor() { Stop(); }

void PieceCompressor::Stop() {
  {
    std::lock_guard lock(mutex_);
    stopping_ = true;
  }
  workToDo_.notify_all();
  for (std::thread& worker : workers_) worker.join();
  workers_.clear();
}

Piece& PieceCompressor::Free() {
  HandOver(false);
  if (free_.empty()) HandOver(true);
  Piece& piece = *free_.front();
  free_.pop_front();
  piece.used_ = 0;
  piece.parts_.clear();
  piece.output_.clear();
  piece.compressed_ = false;
  piece.failure_ = nullptr;
  return piece;
}

void PieceCompressor::Submit(Piece& piece) {
  inFlight_.push_back(&piece);
  {
    std::lock_guard lock(mutex_);
    queue_.push_back(&piece);
  }
  workToDo_.notify_one();
}

void PieceCompressor::Finish() {
  while (!inFlight_.empty()) HandOver(true);
}

void PieceCompressor::HandOver(bool wait) {
  while (!inFlight_.empty()) {
    Piece& oldest = *inFlight_.front();
    {
      std::unique_lock lock(mutex_);
      if (!oldest.compressed_) {
        if (!wait) return;
        pieceCompressed_.wait(lock, [&oldest] { return oldest.compressed_; });
      }
    }
    wait = false;
    inFlight_.pop_front();
    if (oldest.failure_) std::rethrow_exception(oldest.failure_);
    done_(oldest);
    free_.push_back(&oldest);
  }
}

void PieceCompressor::Compress(Piece& piece, std::optional<PieceDeflater>& deflater) {
  try {
    // Made with the first piece, so that a failure reaches the caller with that piece.
    if (!deflater) deflater.emplace();
    for (PiecePart& part : piece.Parts()) {
      part.compressedBegin = piece.output_.size();
      deflater->Append(piece.Dictionary(part), piece.Data(part), part.last, piece.output_);
      part.compressedSize = piece.output_.size() - part.compressedBegin;
      part.crc = Crc32(piece.Data(part));
    }
  } catch (...) {
    piece.failure_ = std::current_exception();
  }
}

void PieceCompressor::Work() {
  std::optional<PieceDeflater> deflater;
  std::unique_lock lock(mutex_);
  for (;;) {
    workToDo_.wait(lock, [this] { return stopping_ || !queue_.empty(); });
    if (stopping_) return;
    Piece& piece = *queue_.front();
    queue_.pop_front();
    lock.unlock();
    Compress(piece, deflater);
    lock.lock();
    piece.compressed_ = true;
    pieceCompressed_.notify_one();
  }
}

}  // namespace qnd::dir
