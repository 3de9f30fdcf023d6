// The running process: its own program file and its end.
#pragma once

#include <optional>
#include <string>

namespace qnd::platform {

/// The full path of the running program as the system reports it (Windows: GetModuleFileNameW,
/// with the letter case of the path the program was started with).
std::string RunningProgramPath();

enum class Wow64 {
  No,           ///< a native process, or a system without WOW64
  Yes,          ///< a 32-bit process on 64-bit Windows
  QueryFailed,  ///< the system could not answer
};

/// Questions about the running process that tests answer themselves.
class ProcessInfo {
 public:
  virtual ~ProcessInfo() = default;
  /// Whether the process runs under WOW64 (Windows: IsWow64Process, looked up at run time, so a
  /// system without it answers No). POSIX: always No.
  virtual Wow64 QueryWow64() = 0;
  /// The full path of the running program: RunningProgramPath(), unless a test chooses another.
  virtual std::string ProgramPath() { return RunningProgramPath(); }
};

ProcessInfo& SystemProcessInfo();

/// The command line exactly as the system passed it (Windows: GetCommandLineW), for programs
/// that split it by their own rules. POSIX has none: the shell has split the arguments already.
std::optional<std::string> RawCommandLine();

/// The process's current folder.
std::string CurrentDirectory();

/// Suspends the calling thread for `milliseconds`.
void SleepMilliseconds(int milliseconds);

/// Ends the process at once with `code`; nothing else runs afterwards.
[[noreturn]] void EndProcessNow(int code);

}  // namespace qnd::platform
