// Ini files read and edited the way Windows' profile functions do it; the format itself is in
// ini_text, this file only reaches the files.
#include "platform/profile.h"

#include <sys/stat.h>

#include <cerrno>
#include <optional>

#include "platform/posix/file_io.h"
#include "platform/posix/ini_text.h"

namespace qnd::platform {
namespace {

class PosixProfile final : public Profile {
 public:
  std::string ReadString(const std::string& path, const std::string& section,
                         const std::string& key, const std::string& fallback) override {
    std::string bytes;
    std::optional<std::string> value;
    if (!posix::ReadFileBytes(path, bytes)) value = posix::FindIniValue(bytes, section, key);
    if (!value) value = std::string(posix::TrimTrailingBlanks(fallback));
    // The caller's buffer holds kProfileValueMax characters and the terminating zero.
    return posix::CutToUtf16Units(*value, kProfileValueMax);
  }

  std::error_code WriteString(const std::string& path, const std::string& section,
                              const std::string& key, const std::string& value) override {
    std::string bytes;
    struct stat info {};
    if (::stat(path.c_str(), &info) == 0) {
      if (S_ISDIR(info.st_mode)) return std::make_error_code(std::errc::is_a_directory);
      // Windows' read-only attribute is the missing owner write bit, and it stops root too.
      if ((info.st_mode & S_IWUSR) == 0) return std::make_error_code(std::errc::permission_denied);
      if (const std::error_code error = posix::ReadFileBytes(path, bytes)) return error;
    } else if (errno != ENOENT) {
      return {errno, std::generic_category()};
    }
    // A missing folder fails here, when the temporary file cannot be created.
    return posix::ReplaceFileAtomically(path, posix::SetIniValue(bytes, section, key, value));
  }
};

}  // namespace

Profile& SystemProfile() {
  static PosixProfile profile;
  return profile;
}

}  // namespace qnd::platform
