#include "tests/dir_updater/archive_fakes.h"

#include <algorithm>

namespace qnd::test {
namespace {

std::error_code NoSpace() { return std::make_error_code(std::errc::no_space_on_device); }

}  // namespace

std::error_code MemoryOutputFile::Write(const char* data, std::size_t size) {
  ++writes;
  if (writes == failingWrite) return NoSpace();
  if (keepBytes_) {
    if (bytes.size() < position_ + size) bytes.resize(static_cast<std::size_t>(position_ + size));
    std::copy(data, data + size, bytes.begin() + static_cast<std::ptrdiff_t>(position_));
  }
  position_ += size;
  length = std::max(length, position_);
  return {};
}

std::error_code MemoryOutputFile::Seek(std::uint64_t offset) {
  ++seeks;
  position_ = offset;
  return {};
}

std::error_code MemoryOutputFile::Stamp(platform::FileStamp& stamp) {
  stamp = {0xFFFF, 0xFFFF, length, {}, {}};
  return {};
}

}  // namespace qnd::test
