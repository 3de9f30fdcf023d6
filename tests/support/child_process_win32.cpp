#include "platform/win32/wide.h"
#include "tests/support/child_process.h"

namespace qnd::test {
namespace {

// The exit code a killed process is left with.
constexpr UINT kKilledExitCode = 0xDEAD;

bool Quotable(const std::string& argument) {
  return !argument.empty() && argument.find('"') == std::string::npos && argument.back() != '\\';
}

}  // namespace

struct SpawnedProcess::Handle {
  HANDLE process = nullptr;
};

SpawnedProcess::SpawnedProcess(const std::string& program,
                               const std::vector<std::string>& arguments) {
  std::string commandLine = "\"" + program + "\"";
  for (const std::string& argument : arguments) {
    if (!Quotable(argument)) return;
    commandLine += " \"" + argument + "\"";
  }
  std::wstring wide = platform::win32::Widen(commandLine);
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION info{};
  // No environment block: the child gets this process's environment as it is now, with the
  // variables a test has set.
  if (!::CreateProcessW(platform::win32::Widen(program).c_str(), wide.data(), nullptr, nullptr,
                        FALSE, 0, nullptr, nullptr, &startup, &info)) {
    return;
  }
  ::CloseHandle(info.hThread);
  handle_ = std::make_unique<Handle>(Handle{info.hProcess});
}

SpawnedProcess::~SpawnedProcess() {
  if (!handle_) return;
  Kill();
  ::CloseHandle(handle_->process);
}

bool SpawnedProcess::Started() const { return handle_ != nullptr; }

std::optional<int> SpawnedProcess::WaitForExit(int timeoutMs) {
  if (!handle_ ||
      ::WaitForSingleObject(handle_->process, static_cast<DWORD>(timeoutMs)) != WAIT_OBJECT_0) {
    return std::nullopt;
  }
  DWORD code = 0;
  ::GetExitCodeProcess(handle_->process, &code);
  return static_cast<int>(code);
}

bool SpawnedProcess::Kill() {
  if (!handle_ || ::WaitForSingleObject(handle_->process, 0) != WAIT_TIMEOUT) return false;
  // TerminateProcess fails on a process that has ended in the meantime. It only starts the end:
  // the process is gone, its handles closed, once the process handle is signalled.
  return ::TerminateProcess(handle_->process, kKilledExitCode) &&
         ::WaitForSingleObject(handle_->process, 30000) == WAIT_OBJECT_0;
}

}  // namespace qnd::test
