#include "platform/version_info.h"

#include <cstring>
#include <vector>

#include "platform/win32/wide.h"

namespace qnd::platform {

std::optional<ProductVersion> ReadProductVersion(const std::string& path) {
  const std::wstring widePath = win32::Widen(path);
  DWORD ignored = 0;
  const DWORD size = ::GetFileVersionInfoSizeW(widePath.c_str(), &ignored);
  if (size == 0) return std::nullopt;
  std::vector<unsigned char> block(size);
  if (!::GetFileVersionInfoW(widePath.c_str(), 0, size, block.data())) return std::nullopt;

  void* value = nullptr;
  UINT length = 0;
  if (!::VerQueryValueW(block.data(), L"\\", &value, &length) || value == nullptr) {
    return std::nullopt;
  }
  // VerQueryValueW reports the block's wValueLength without checking it, and the signature neither:
  // a block without a fixed part must not be read past its end.
  const auto* fixed = static_cast<const unsigned char*>(value);
  const unsigned char* end = block.data() + block.size();
  if (length < sizeof(VS_FIXEDFILEINFO) || fixed < block.data() ||
      static_cast<std::size_t>(end - fixed) < sizeof(VS_FIXEDFILEINFO)) {
    return std::nullopt;
  }
  VS_FIXEDFILEINFO info;
  std::memcpy(&info, fixed, sizeof info);
  if (info.dwSignature != VS_FFI_SIGNATURE) return std::nullopt;
  return ProductVersion{HIWORD(info.dwProductVersionMS), LOWORD(info.dwProductVersionMS),
                        HIWORD(info.dwProductVersionLS), LOWORD(info.dwProductVersionLS)};
}

}  // namespace qnd::platform
