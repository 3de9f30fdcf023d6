// File contents for the archive tests, the same in every run.
#pragma once

#include <cstdint>
#include <string>

namespace qnd::test {

/// Data that deflate cannot shrink much, so it fills buffers.
inline std::string NoisyBytes(std::size_t size, std::uint32_t seed) {
  std::string bytes(size, '\0');
  for (char& c : bytes) {
    seed = seed * 1664525u + 1013904223u;
    c = static_cast<char>(seed >> 24);
  }
  return bytes;
}

/// Fixed-width records of a table that deflate shrinks well, each a little different, so matches
/// reach back across piece boundaries.
inline std::string TableBytes(std::size_t size) {
  std::string bytes;
  bytes.reserve(size + 64);
  for (std::uint32_t row = 0; bytes.size() < size; ++row) {
    bytes += "Schueler " + std::to_string(row % 977) + " Klasse " + std::to_string(row % 13) +
             " Note " + std::to_string(row * 7 % 6 + 1) + "          |";
  }
  bytes.resize(size);
  return bytes;
}

}  // namespace qnd::test
