// No update may start while anybody works with the product: the product counts its logged-in users
// in the user file of its data folder ("QuendUser.ini", Benutzer/UserZahl).
#pragma once

#include <cstdint>
#include <string_view>

#include "core/status.h"
#include "core/updater_context.h"

namespace qnd {

inline constexpr char kUserFileName[] = "QuendUser.ini";

/// The counter's text as a signed 32-bit integer: optional leading blanks, an optional sign, then
/// decimal digits or one of the hexadecimal prefixes "$", "x", "X", "0x", "0X" with one to eight
/// hexadecimal digits. Anything else, and a decimal number out of range, reads as `fallback`.
std::int32_t ParseUserCount(std::string_view text, std::int32_t fallback);

/// 0 when nobody is logged in; otherwise shows the error box and returns 1. The local updater does
/// not look when the product keeps its ini files in the "001" subfolder.
Status PruefeQNDUser(UpdaterContext& context);

}  // namespace qnd
