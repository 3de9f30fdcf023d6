// Every step returns an integer status: 0 for success, non-zero for failure.
#pragma once

namespace qnd {

using Status = int;
inline constexpr Status kStatusOk = 0;
inline constexpr Status kStatusFailed = 1;

/// Exit codes of both programs.
inline constexpr int kExitSuccess = 0;
inline constexpr int kExitFailure = 1;

}  // namespace qnd
