#include "platform/process.h"

#include <vector>

#include "platform/win32/wide.h"

namespace qnd::platform {

std::string RunningProgramPath() {
  std::vector<wchar_t> buffer(MAX_PATH);
  for (;;) {
    const DWORD length = ::GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    if (length == 0) return {};
    if (length < buffer.size()) return win32::Narrow(std::wstring_view(buffer.data(), length));
    buffer.resize(buffer.size() * 2);  // truncated: try again with room for a long path
  }
}

namespace {

class Win32ProcessInfo final : public ProcessInfo {
 public:
  Wow64 QueryWow64() override {
    // Looked up at run time: systems before WOW64 do not export it.
    using IsWow64ProcessFunction = BOOL(WINAPI*)(HANDLE, PBOOL);
    const HMODULE kernel = ::GetModuleHandleW(L"kernel32");
    const auto isWow64Process = kernel ? reinterpret_cast<IsWow64ProcessFunction>(
                                             reinterpret_cast<void*>(::GetProcAddress(kernel, "IsWow64Process")))
                                       : nullptr;
    if (!isWow64Process) return Wow64::No;
    BOOL wow64 = FALSE;
    if (!isWow64Process(::GetCurrentProcess(), &wow64)) return Wow64::QueryFailed;
    return wow64 ? Wow64::Yes : Wow64::No;
  }
};

}  // namespace

ProcessInfo& SystemProcessInfo() {
  static Win32ProcessInfo info;
  return info;
}

std::string CurrentDirectory() {
  const DWORD length = ::GetCurrentDirectoryW(0, nullptr);
  if (length == 0) return {};
  std::wstring buffer(length, L'\0');
  const DWORD written = ::GetCurrentDirectoryW(length, buffer.data());
  buffer.resize(written < length ? written : 0);
  return win32::Narrow(buffer);
}

std::optional<std::string> RawCommandLine() { return win32::Narrow(::GetCommandLineW()); }

void SleepMilliseconds(int milliseconds) { ::Sleep(static_cast<DWORD>(milliseconds)); }

void EndProcessNow(int code) { ::ExitProcess(static_cast<UINT>(code)); }

}  // namespace qnd::platform
