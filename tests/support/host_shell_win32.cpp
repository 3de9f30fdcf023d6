#include <atomic>
#include <fstream>
#include <optional>

#include "platform/win32/wide.h"
#include "tests/support/host_shell.h"
#include "tests/support/temp_dir.h"

namespace qnd::test {
namespace {

using platform::win32::Narrow;
using platform::win32::Widen;

// Wine's own path translations, exported by its kernel32; absent on Windows.
using UnixNameFunction = char*(CDECL*)(const WCHAR*);
using DosNameFunction = WCHAR*(CDECL*)(const char*);

template <typename Function>
Function WineExport(const char* name) {
  const HMODULE kernel = ::GetModuleHandleW(L"kernel32");
  return kernel
             ? reinterpret_cast<Function>(reinterpret_cast<void*>(::GetProcAddress(kernel, name)))
             : nullptr;
}

std::optional<std::wstring> DosPath(const std::string& unixPath) {
  const auto dosName = WineExport<DosNameFunction>("wine_get_dos_file_name");
  WCHAR* translated = dosName ? dosName(unixPath.c_str()) : nullptr;
  if (!translated) return std::nullopt;
  std::wstring result(translated);
  ::HeapFree(::GetProcessHeap(), 0, translated);
  return result;
}

std::string TemporaryFolder() {
  wchar_t buffer[MAX_PATH + 1];
  const DWORD length = ::GetTempPathW(MAX_PATH + 1, buffer);
  return Narrow(std::wstring_view(buffer, length));
}

}  // namespace

bool RunsUnderWine() {
  const HMODULE ntdll = ::GetModuleHandleW(L"ntdll");
  return ntdll && ::GetProcAddress(ntdll, "wine_get_version");
}

bool HostShellAvailable() { return RunsUnderWine(); }

std::string HostPath(const std::string& path) {
  const auto unixName = WineExport<UnixNameFunction>("wine_get_unix_file_name");
  char* translated = unixName ? unixName(Widen(path).c_str()) : nullptr;
  if (!translated) return path;
  std::string result(translated);
  ::HeapFree(::GetProcessHeap(), 0, translated);
  return result;
}

std::string FromHostPath(const std::string& hostPath) {
  if (hostPath.empty() || hostPath.front() != '/') return hostPath;
  if (const std::optional<std::wstring> dosPath = DosPath(hostPath)) return Narrow(*dosPath);
  std::string result = "Z:" + hostPath;
  for (char& c : result) {
    if (c == '/') c = '\\';
  }
  return result;
}

// Wine starts a Linux program that CreateProcessW names, but hands back no handle to wait on. So
// the command runs from a script that, as its last act, renames a file holding its exit status
// into place; this side waits for that file.
int RunHostShell(const std::string& command) {
  const std::optional<std::wstring> shell = DosPath("/bin/sh");
  if (!shell) return -1;
  static std::atomic<unsigned> counter{0};
  const std::string base = TemporaryFolder() + "qnd-host-" +
                           std::to_string(::GetCurrentProcessId()) + "-" +
                           std::to_string(counter++);
  const std::string script = base + ".sh", status = base + ".status";
  const std::string hostStatus = HostPath(status);
  WriteFileBytes(script, "(\n" + command + "\n)\necho $? >" + ShellQuoted(hostStatus + ".part") +
                             "\nmv " + ShellQuoted(hostStatus + ".part") + " " +
                             ShellQuoted(hostStatus) + "\n");

  std::wstring commandLine = L"sh \"" + Widen(HostPath(script)) + L"\"";
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  const bool started = ::CreateProcessW(shell->c_str(), commandLine.data(), nullptr, nullptr, FALSE,
                                        0, nullptr, nullptr, &startup, &process);
  if (process.hProcess) ::CloseHandle(process.hProcess);
  if (process.hThread) ::CloseHandle(process.hThread);
  int result = -1;
  if (started) {
    // Generous: a ZIP reader may test a large archive.
    for (DWORD start = ::GetTickCount(); ::GetTickCount() - start < 300000;) {
      std::ifstream in(Widen(status).c_str());
      if (in >> result) break;
      ::Sleep(2);
    }
  }
  ::DeleteFileW(Widen(script).c_str());
  ::DeleteFileW(Widen(status).c_str());
  return result;
}

}  // namespace qnd::test
