// The running process: its own program file and its end.
#pragma once

#include <string>

namespace qnd::platform {

/// The full path of the running program as the system reports it (Windows: GetModuleFileNameW,
/// with the letter case of the path the program was started with).
std::string RunningProgramPath();

/// Suspends the calling thread for `milliseconds`.
void SleepMilliseconds(int milliseconds);

/// Ends the process at once with `code`; nothing else runs afterwards.
[[noreturn]] void EndProcessNow(int code);

}  // namespace qnd::platform
