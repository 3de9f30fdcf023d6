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

void SleepMilliseconds(int milliseconds) { ::Sleep(static_cast<DWORD>(milliseconds)); }

void EndProcessNow(int code) { ::ExitProcess(static_cast<UINT>(code)); }

}  // namespace qnd::platform
