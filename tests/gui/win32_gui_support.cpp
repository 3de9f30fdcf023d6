#include "tests/gui/win32_gui_support.h"

#include "platform/win32/wide.h"
#include "tests/support/host_shell.h"

namespace qnd::test {

std::wstring WindowsPath(const std::string& path) {
  return platform::win32::Widen(FromHostPath(path));
}

bool WaitUntil(const std::function<bool()>& condition, int timeoutMs) {
  return WaitFor<bool>(
             [&]() -> std::optional<bool> {
               if (condition()) return true;
               return std::nullopt;
             },
             timeoutMs)
      .has_value();
}

ChildProcess::ChildProcess(const std::wstring& program, const std::wstring& arguments) {
  std::wstring commandLine = L"\"" + program + L"\"";
  if (!arguments.empty()) commandLine += L" " + arguments;
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION info{};
  if (!::CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        nullptr, &startup, &info)) {
    return;
  }
  ::CloseHandle(info.hThread);
  process_ = info.hProcess;
  id_ = info.dwProcessId;
}

ChildProcess::~ChildProcess() {
  if (!process_) return;
  if (::WaitForSingleObject(process_, 0) == WAIT_TIMEOUT) {
    ::TerminateProcess(process_, 99);
    ::WaitForSingleObject(process_, 10000);
  }
  ::CloseHandle(process_);
}

std::optional<DWORD> ChildProcess::WaitForExit(int timeoutMs) {
  if (!process_ ||
      ::WaitForSingleObject(process_, static_cast<DWORD>(timeoutMs)) != WAIT_OBJECT_0) {
    return std::nullopt;
  }
  DWORD code = 0;
  ::GetExitCodeProcess(process_, &code);
  return code;
}

HWND ChildProcess::WaitForWindow(const wchar_t* className, const std::wstring& caption,
                                 int timeoutMs) const {
  return WaitFor<HWND>(
             [&]() -> std::optional<HWND> {
               if (const HWND window = FindTopLevelWindow(id_, className, caption)) return window;
               return std::nullopt;
             },
             timeoutMs)
      .value_or(nullptr);
}

namespace {

struct WindowSearch {
  DWORD processId;
  const wchar_t* className;
  const std::wstring& caption;
  HWND found = nullptr;
};

BOOL CALLBACK CheckTopLevelWindow(HWND window, LPARAM context) {
  auto& search = *reinterpret_cast<WindowSearch*>(context);
  DWORD owner = 0;
  ::GetWindowThreadProcessId(window, &owner);
  if (owner != search.processId || !::IsWindowVisible(window)) return TRUE;
  if (search.className && ClassName(window) != search.className) return TRUE;
  if (WindowText(window) != search.caption) return TRUE;
  search.found = window;
  return FALSE;
}

}  // namespace

HWND FindTopLevelWindow(DWORD processId, const wchar_t* className, const std::wstring& caption) {
  WindowSearch search{processId, className, caption};
  ::EnumWindows(CheckTopLevelWindow, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

std::wstring ClassName(HWND window) {
  wchar_t name[256] = {};
  const int length = ::GetClassNameW(window, name, 256);
  return std::wstring(name, length > 0 ? length : 0);
}

std::wstring WindowText(HWND window) {
  // WM_GETTEXT rather than GetWindowText, which does not ask a window of another process.
  wchar_t text[1024] = {};
  const LRESULT length = ::SendMessageW(window, WM_GETTEXT, 1024, reinterpret_cast<LPARAM>(text));
  return std::wstring(text, length > 0 ? static_cast<std::size_t>(length) : 0);
}

std::vector<HWND> Children(HWND parent) {
  std::vector<HWND> children;
  for (HWND child = ::GetWindow(parent, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
    children.push_back(child);
  }
  return children;
}

HWND FindChild(HWND parent, const std::wstring& className, const std::wstring& text) {
  for (const HWND child : Children(parent)) {
    if (ClassName(child) == className && WindowText(child) == text) return child;
  }
  return nullptr;
}

RECT RectInParent(HWND window) {
  RECT rect;
  ::GetWindowRect(window, &rect);
  ::MapWindowPoints(nullptr, ::GetParent(window), reinterpret_cast<POINT*>(&rect), 2);
  return rect;
}

SIZE ClientSize(HWND window) {
  RECT rect;
  ::GetClientRect(window, &rect);
  return {rect.right, rect.bottom};
}

SIZE OuterSize(HWND window) {
  RECT rect;
  ::GetWindowRect(window, &rect);
  return {rect.right - rect.left, rect.bottom - rect.top};
}

HWND FocusOf(HWND window) {
  GUITHREADINFO info{};
  info.cbSize = sizeof info;
  if (!::GetGUIThreadInfo(::GetWindowThreadProcessId(window, nullptr), &info)) return nullptr;
  return info.hwndFocus;
}

// Where no window has the focus, the keyboard sends the keys to the active window as system keys.
void PressKey(HWND window, WORD key) {
  const HWND focus = FocusOf(window);
  const HWND target = focus ? focus : window;
  const UINT down = focus ? WM_KEYDOWN : WM_SYSKEYDOWN;
  const UINT up = focus ? WM_KEYUP : WM_SYSKEYUP;
  const UINT scanCode = ::MapVirtualKeyW(key, MAPVK_VK_TO_VSC);
  ::PostMessageW(target, down, key, 1 | (scanCode << 16));
  ::PostMessageW(target, up, key, 1 | (scanCode << 16) | (1u << 30) | (1u << 31));
}

}  // namespace qnd::test
