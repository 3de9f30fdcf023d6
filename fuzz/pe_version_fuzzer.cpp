// The product's executable may be cut off or damaged: the version resource reader must stay inside
// the bytes and give an answer for any file.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "fuzz/fuzz_check.h"
#include "platform/posix/pe_version.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view image(reinterpret_cast<const char*>(data), size);
  const auto version = qnd::platform::posix::ParseProductVersion(image);
  // The reader keeps no state between files.
  QND_FUZZ_CHECK(qnd::platform::posix::ParseProductVersion(image) == version);
  return 0;
}
