// On Linux the registry comes from an export file that anybody can edit. Whatever it holds, the
// parser must give a registry whose keys and values can all be found again.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "fuzz/fuzz_check.h"
#include "platform/posix/reg_file.h"

namespace {

using namespace qnd::platform::posix;

void CheckKey(const RegImage& image, const RegKey& key) {
  const std::string_view path = key.path;
  // Canonical form: components joined by single backslashes.
  QND_FUZZ_CHECK(!path.starts_with('\\') && !path.ends_with('\\'));
  QND_FUZZ_CHECK(path.find("\\\\") == std::string_view::npos);
  QND_FUZZ_CHECK(image.FindKey(path) == &key);
  // A key never exists without its parent.
  const std::size_t last = path.rfind('\\');
  if (!path.empty()) {
    QND_FUZZ_CHECK(image.FindKey(last == std::string_view::npos ? "" : path.substr(0, last)));
  }
  for (const RegValue& value : key.values) {
    QND_FUZZ_CHECK(key.FindValue(value.name) == &value);  // one value per name
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const auto image = ParseRegFile(std::string_view(reinterpret_cast<const char*>(data), size));
  if (!image) return 0;
  QND_FUZZ_CHECK(image->FindKey("") != nullptr);  // HKEY_LOCAL_MACHINE itself
  for (const RegKey* key : image->Keys()) CheckKey(*image, *key);
  return 0;
}
