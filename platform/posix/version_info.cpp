#include "platform/version_info.h"

#include <sys/stat.h>

#include "platform/posix/file_io.h"
#include "platform/posix/pe_version.h"

namespace qnd::platform {
namespace {

// Far beyond any program file of the product; a larger file is not read into memory.
constexpr off_t kLargestProgramFile = off_t{256} << 20;

}  // namespace

std::optional<ProductVersion> ReadProductVersion(const std::string& path) {
  // Only regular files: a folder has no version either, and reading a pipe could block.
  struct stat info {};
  if (::stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode) ||
      info.st_size > kLargestProgramFile) {
    return std::nullopt;
  }
  std::string bytes;
  if (posix::ReadFileBytes(path, bytes)) return std::nullopt;
  return posix::ParseProductVersion(bytes);
}

}  // namespace qnd::platform
