#include "platform/win32/dialog/button_images.h"

#include <array>
#include <cstdint>

#include "platform/win32/dialog/dpi_scale.h"
#include "platform/win32/dialog/resource_ids.h"

namespace qnd::platform::win32 {

namespace {

constexpr int kDesignImageSize = 16;

std::uint32_t Little32(const BYTE* bytes) {
  return bytes[0] | bytes[1] << 8 | bytes[2] << 16 | static_cast<std::uint32_t>(bytes[3]) << 24;
}

// The icon file in resource `resourceId` holds the image in several sizes; the smallest that is
// at least `size` wide is taken (else the largest) and scaled to `size` if it differs.
HICON LoadImageIcon(int resourceId, int size) {
  const HMODULE module = ::GetModuleHandleW(nullptr);
  const HRSRC resource = ::FindResourceW(module, MAKEINTRESOURCEW(resourceId), RT_RCDATA);
  const HGLOBAL loaded = resource ? ::LoadResource(module, resource) : nullptr;
  const auto* file = loaded ? static_cast<const BYTE*>(::LockResource(loaded)) : nullptr;
  const DWORD length = resource ? ::SizeofResource(module, resource) : 0;
  // ICONDIR: reserved, type, count; then per image 16 bytes: width (0 for 256), height, colours,
  // reserved, planes, bits per pixel, byte count, offset.
  constexpr DWORD kHeader = 6, kEntry = 16;
  if (!file || length < kHeader) return nullptr;
  const DWORD count = file[4] | file[5] << 8;
  if (length < kHeader + count * kEntry) return nullptr;
  const BYTE* best = nullptr;
  int bestWidth = 0;
  for (DWORD i = 0; i < count; ++i) {
    const BYTE* entry = file + kHeader + i * kEntry;
    const int width = entry[0] == 0 ? 256 : entry[0];
    const bool better =
        !best || (bestWidth < size ? width > bestWidth : width >= size && width < bestWidth);
    if (better) {
      best = entry;
      bestWidth = width;
    }
  }
  if (!best) return nullptr;
  const std::uint32_t bytes = Little32(best + 8), offset = Little32(best + 12);
  if (offset > length || bytes > length - offset) return nullptr;
  constexpr DWORD kIconFormat = 0x00030000;  // the format of every system since Windows 3.0
  return ::CreateIconFromResourceEx(const_cast<BYTE*>(file + offset), bytes, TRUE, kIconFormat,
                                    size, size, LR_DEFAULTCOLOR);
}

// A button's image list holds one image per state, in the order of the PUSHBUTTONSTATES (normal,
// hot, pressed, disabled, defaulted, stylus hot); a list of one image serves every state.
ImageListHandle MakeList(int size, HICON normal, HICON disabled) {
  if (!normal || !disabled) return nullptr;
  const bool perState = normal != disabled;
  ImageListHandle list(::ImageList_Create(size, size, ILC_COLOR32 | ILC_MASK, perState ? 6 : 1, 0));
  if (!list) return nullptr;
  if (!perState) {
    ::ImageList_ReplaceIcon(list.get(), -1, normal);
    return list;
  }
  for (const HICON icon : std::array{normal, normal, normal, disabled, normal, normal}) {
    ::ImageList_ReplaceIcon(list.get(), -1, icon);
  }
  return list;
}

}  // namespace

ButtonImages LoadButtonImages(int dpi) {
  const int size = ScaleToDpi(kDesignImageSize, dpi);
  const HICON cancel = LoadImageIcon(QND_IMAGE_CANCEL, size);
  const HICON forward = LoadImageIcon(QND_IMAGE_FORWARD, size);
  const HICON forwardDisabled = LoadImageIcon(QND_IMAGE_FORWARD_DISABLED, size);
  ButtonImages images{MakeList(size, cancel, cancel), MakeList(size, forward, forwardDisabled)};
  // The image lists keep copies.
  for (const HICON icon : {cancel, forward, forwardDisabled}) {
    if (icon) ::DestroyIcon(icon);
  }
  return images;
}

void PutImagesOnButton(HWND button, HIMAGELIST images, int rightMargin) {
  BUTTON_IMAGELIST setting{};
  setting.himl = images;
  setting.margin.right = rightMargin;
  setting.uAlign = BUTTON_IMAGELIST_ALIGN_RIGHT;
  ::SendMessageW(button, BCM_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(&setting));
}

}  // namespace qnd::platform::win32
