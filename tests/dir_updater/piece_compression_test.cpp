// An entry's data compressed in pieces: each piece alone is zlib's raw deflate with the archive's
// parameters, the pieces join into one stream through their dictionaries, and the compressor
// gives them back in order, the same bytes whatever the number of threads.
#include <gtest/gtest.h>
#include <zlib.h>

#include "dir_updater/piece_compressor.h"
#include "tests/dir_updater/sample_bytes.h"
#include "tests/dir_updater/zip_reader.h"

namespace qnd::dir {
namespace {

std::string Inflated(const std::string& stream) {
  test::LocalHeader header;
  header.name = "joined pieces";
  header.compressedSize = static_cast<std::uint32_t>(stream.size());
  return test::InflateEntry(stream, header);
}

// What zlib makes of `data` in one go with the archive's parameters (raw deflate, 15-bit window,
// default level, memory level 8, default strategy).
std::string OneStream(const std::string& data) {
  z_stream stream{};
  EXPECT_EQ(deflateInit2(&stream, Z_DEFAULT_COMPRESSION, Z_DEFLATED, -15, 8, Z_DEFAULT_STRATEGY),
            Z_OK);
  std::string out(deflateBound(&stream, static_cast<uLong>(data.size())), '\0');
  stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.data()));
  stream.avail_in = static_cast<uInt>(data.size());
  stream.next_out = reinterpret_cast<Bytef*>(out.data());
  stream.avail_out = static_cast<uInt>(out.size());
  EXPECT_EQ(deflate(&stream, Z_FINISH), Z_STREAM_END);
  out.resize(stream.total_out);
  deflateEnd(&stream);
  return out;
}

// Table rows, then noise, then the table again: 3.5 pieces.
const std::string& MixedData() {
  static const std::string data = test::TableBytes(kPieceSize + 300'000) +
                                  test::NoisyBytes(kPieceSize, 5) +
                                  test::TableBytes(kPieceSize + kPieceSize / 2 - 300'000);
  return data;
}

TEST(PieceDeflaterTest, OnePieceIsZlibsRawDeflateWithTheArchiveParameters) {
  PieceDeflater deflater;
  for (const std::string& data :
       {std::string(), std::string("Hallo"),
        test::NoisyBytes(300'000, 3) + test::TableBytes(kPieceSize - 300'000)}) {
    SCOPED_TRACE(data.size());
    std::string compressed;
    deflater.Compress({}, data, /*last=*/true, compressed);
    EXPECT_TRUE(compressed == OneStream(data));
    EXPECT_EQ(Crc32(data), test::Crc32(data));
  }
}

// Data deflate cannot shrink goes into stored blocks, which cost less than deflate's attempt and
// inflate all the same; everything else is zlib's own deflate, also noise that repeats within half
// of deflate's window.
TEST(PieceDeflaterTest, WhatDeflateCannotShrinkIsStored) {
  std::string repeated;
  const std::string block = test::NoisyBytes(kDictionarySize / 2 - 1, 21);
  while (repeated.size() < kPieceSize) repeated += block;
  const struct {
    const char* label;
    std::string data;
    bool stored;
  } cases[] = {
      {"noise, one piece", test::NoisyBytes(kPieceSize, 4), true},
      {"noise, the smallest part sampled", test::NoisyBytes(256 * 1024, 6), true},
      {"noise too short to be sampled", test::NoisyBytes(256 * 1024 - 1, 7), false},
      {"noise, then a table",
       test::NoisyBytes(kPieceSize / 2, 8) + test::TableBytes(kPieceSize / 2), false},
      {"noise repeating within half the window", repeated, false},
  };
  PieceDeflater deflater;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.label);
    std::string compressed;
    deflater.Compress({}, c.data, /*last=*/true, compressed);
    EXPECT_EQ(Inflated(compressed), c.data);
    if (c.stored) {
      // Stored blocks of up to 64 KiB, 5 bytes of header each.
      EXPECT_LE(compressed.size(), c.data.size() + 5 * (c.data.size() / 16384 + 1));
      EXPECT_LT(compressed.size(), OneStream(c.data).size());
    } else {
      EXPECT_TRUE(compressed == OneStream(c.data));
    }
  }
}

// Without its dictionary a piece could not refer to the data before it.
TEST(PieceDeflaterTest, APieceRefersBackIntoItsDictionary) {
  // Half the dictionary: deflate reaches back a little less than its whole window.
  const std::string noise = test::NoisyBytes(kDictionarySize / 2, 9);
  PieceDeflater deflater;
  std::string withDictionary, without;
  deflater.Compress(noise, noise, /*last=*/true, withDictionary);
  deflater.Compress({}, noise, /*last=*/true, without);
  EXPECT_LT(withDictionary.size(), 1000u);
  EXPECT_GT(without.size(), noise.size());
  EXPECT_EQ(Inflated(without), noise);
}

// Compressed one after the other, each with the 32 KiB before it: the joined pieces are one stream
// of the whole data, hardly larger than zlib's single stream (each piece ends its last block), with
// the CRC-32 of the whole.
TEST(PieceDeflaterTest, PiecesJoinIntoOneStream) {
  const std::string& data = MixedData();
  PieceDeflater deflater;
  std::string joined, compressed;
  std::uint32_t crc = 0;
  for (std::size_t at = 0; at < data.size(); at += kPieceSize) {
    const std::size_t before = std::min(at, kDictionarySize);
    const std::string_view piece = std::string_view(data).substr(at, kPieceSize);
    deflater.Compress(std::string_view(data).substr(at - before, before), piece,
                      at + kPieceSize >= data.size(), compressed);
    joined += compressed;
    crc = JoinCrc32(crc, Crc32(piece), piece.size());
  }
  EXPECT_TRUE(Inflated(joined) == data);
  EXPECT_EQ(crc, test::Crc32(data));
  EXPECT_LT(joined.size(), OneStream(data).size() * 1.005);
}

// The parts of several entries (MixedData whole, then starts of it of growing length) through a
// compressor with `threads` workers; with `batched`, entries of at most one piece share pieces as
// far as they fit. The compressed parts in the order they came back.
std::vector<std::string> CompressAll(unsigned threads, bool batched) {
  const std::string& data = MixedData();
  std::vector<std::string> results;
  std::vector<std::uint32_t> crcs;
  PieceCompressor compressor(threads, [&](Piece& piece) {
    for (const PiecePart& part : piece.Parts()) {
      results.emplace_back(piece.Compressed(part));
      crcs.push_back(part.crc);
    }
  });
  std::vector<std::string_view> entries = {data};
  for (std::size_t length = 1; length <= kPieceSize; length *= 7)
    entries.push_back(std::string_view(data).substr(0, length));
  entries.push_back(std::string_view(data).substr(0, 0));
  Piece* shared = nullptr;
  std::size_t expectedParts = 0;
  for (std::string_view entry : entries) {
    if (shared != nullptr && (!batched || shared->Room() < entry.size())) {
      compressor.Submit(*shared);
      shared = nullptr;
    }
    if (entry.size() <= kPieceSize) {
      if (shared == nullptr) shared = &compressor.Free();
      std::copy_n(entry.data(), entry.size(), shared->Next());
      shared->AddPart(0, entry.size(), true, true);
      ++expectedParts;
      continue;
    }
    for (std::size_t at = 0; at < entry.size(); at += kPieceSize) {
      Piece& piece = compressor.Free();
      const std::size_t before = std::min(at, kDictionarySize);
      const std::size_t size = std::min(kPieceSize, entry.size() - at);
      std::copy_n(entry.data() + at - before, before + size, piece.Next());
      piece.AddPart(before, size, at == 0, at + kPieceSize >= entry.size());
      compressor.Submit(piece);
      ++expectedParts;
    }
  }
  if (shared != nullptr) compressor.Submit(*shared);
  compressor.Finish();
  EXPECT_EQ(results.size(), expectedParts);
  // Each part came back with its own CRC, so nothing was handed over out of order.
  std::size_t index = 0;
  for (std::string_view entry : entries) {
    for (std::size_t at = 0; at == 0 || at < entry.size(); at += kPieceSize, ++index)
      EXPECT_EQ(crcs[index], test::Crc32(std::string(entry.substr(at, kPieceSize)))) << index;
  }
  return results;
}

// Small entries sharing pieces come out as each would alone, in order, whatever the threads.
TEST(PieceCompressorTest, GivesThePartsBackInOrderTheSameWhateverTheThreadsAndSharing) {
  const std::vector<std::string> one = CompressAll(1, false);
  std::string whole;
  for (std::size_t i = 0; i < 4; ++i) whole += one[i];
  EXPECT_TRUE(Inflated(whole) == MixedData());
  for (unsigned threads : {1u, 2u, 3u, 8u, 64u}) {
    EXPECT_TRUE(CompressAll(threads, true) == one) << threads << " threads, shared pieces";
    EXPECT_TRUE(CompressAll(threads, false) == one) << threads << " threads";
  }
}

// Stopped with pieces still being compressed (a read failed), it does not wait for them to be
// handed over; the last one submitted never is.
TEST(PieceCompressorTest, StopsWithPiecesInFlight) {
  int handedOver = 0;
  {
    PieceCompressor compressor(2, [&](Piece&) { ++handedOver; });
    for (int i = 0; i < 3; ++i) {
      Piece& piece = compressor.Free();
      piece.AddPart(0, kPieceSize, true, true);
      compressor.Submit(piece);
    }
  }
  EXPECT_LT(handedOver, 3);
}

}  // namespace
}  // namespace qnd::dir
