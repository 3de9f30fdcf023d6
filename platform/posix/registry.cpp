// HKEY_LOCAL_MACHINE read from the export file named by QND_REGISTRY_FILE. The file is read afresh
// on every open, so a key shows the file as it was then, the way a Win32 key handle shows the
// registry.
#include "platform/registry.h"

#include <cstdlib>

#include "platform/posix/file_io.h"
#include "platform/posix/reg_file.h"
#include "platform/text.h"

namespace qnd::platform {
namespace {

class FileRegistryKey final : public RegistryKey {
 public:
  explicit FileRegistryKey(posix::RegKey key) : key_(std::move(key)) {}

  bool HasValue(const std::string& name) const override { return key_.FindValue(name) != nullptr; }

  ValueRead ReadString(const std::string& name, std::string& out) const override {
    const posix::RegValue* value = key_.FindValue(name);
    if (value == nullptr) return ValueRead::Missing;
    if (value->type != posix::kRegSz && value->type != posix::kRegExpandSz) {
      return ValueRead::WrongType;
    }
    // As on Windows: the byte count decides (an odd last byte is dropped), up to the first zero.
    std::u16string text;
    const std::string& data = value->data;
    for (std::size_t i = 0; i + 1 < data.size(); i += 2) {
      const auto unit = static_cast<char16_t>(static_cast<unsigned char>(data[i]) |
                                              static_cast<unsigned char>(data[i + 1]) << 8);
      if (unit == u'\0') break;
      text += unit;
    }
    out = Utf16ToUtf8(text);
    return ValueRead::Ok;
  }

 private:
  posix::RegKey key_;
};

// The subkey as the image stores it: components joined by single backslashes. Windows ignores
// empty components except a leading one, which it rejects.
bool CanonicalPath(const std::string& subkey, std::string& path) {
  if (subkey.starts_with('\\')) return false;
  path.clear();
  std::size_t start = 0;
  while (start <= subkey.size()) {
    std::size_t end = subkey.find('\\', start);
    if (end == std::string::npos) end = subkey.size();
    if (end > start) {
      if (!path.empty()) path += '\\';
      path.append(subkey, start, end - start);
    }
    start = end + 1;
  }
  return true;
}

class FileRegistry final : public Registry {
 public:
  // A native program sees one registry, so there is no 32/64-bit view to choose: the access flags,
  // kKeyWow64_64Key included, change nothing.
  std::error_code OpenLocalMachineKey(const std::string& subkey, std::uint32_t /*access*/,
                                      std::unique_ptr<RegistryKey>& opened) override {
    // Windows fails a bad path with ERROR_BAD_PATHNAME, which compares equal to this error.
    const std::error_code noSuchKey = std::make_error_code(std::errc::no_such_file_or_directory);
    std::string path;
    if (!CanonicalPath(subkey, path)) return noSuchKey;
    // Without a file the registry is empty; a missing file reports ENOENT, which says the same.
    const char* file = std::getenv("QND_REGISTRY_FILE");
    if (file == nullptr || *file == '\0') return noSuchKey;
    std::string bytes;
    if (const std::error_code readError = posix::ReadFileBytes(file, bytes)) return readError;
    const std::optional<posix::RegImage> image = posix::ParseRegFile(bytes);
    // Not a registry export file.
    if (!image) return std::make_error_code(std::errc::bad_message);
    const posix::RegKey* key = image->FindKey(path);
    if (key == nullptr) return noSuchKey;
    opened = std::make_unique<FileRegistryKey>(*key);
    return {};
  }
};

}  // namespace

Registry& SystemRegistry() {
  static FileRegistry registry;
  return registry;
}

}  // namespace qnd::platform
