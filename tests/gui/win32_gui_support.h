// What the Win32 window tests share: starting a built program, finding top-level windows and their
// controls from outside, keys posted the way the keyboard delivers them, and waiting with a
// generous timeout (a first start under Wine can take seconds).
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/win32/win32.h"

namespace qnd::test {

inline constexpr int kWindowTimeoutMs = 30000;

/// `path` of the build as Windows sees it: under Wine a Linux path becomes its drive path.
std::wstring WindowsPath(const std::string& path);

/// Waits until `probe` gives a value, polling; nullopt after `timeoutMs`.
template <typename T>
std::optional<T> WaitFor(const std::function<std::optional<T>()>& probe,
                         int timeoutMs = kWindowTimeoutMs) {
  for (const DWORD start = ::GetTickCount();;) {
    if (std::optional<T> value = probe()) return value;
    if (::GetTickCount() - start > static_cast<DWORD>(timeoutMs)) return std::nullopt;
    ::Sleep(50);
  }
}

/// Waits until `condition` holds; false after `timeoutMs`.
bool WaitUntil(const std::function<bool()>& condition, int timeoutMs = kWindowTimeoutMs);

/// A started program that is ended when the test ends, passed or not.
class ChildProcess {
 public:
  ChildProcess(const std::wstring& program, const std::wstring& arguments = L"");
  ~ChildProcess();
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;

  bool Started() const { return process_ != nullptr; }
  DWORD Id() const { return id_; }
  /// The exit code once the process has ended; nullopt if it still runs after `timeoutMs`.
  std::optional<DWORD> WaitForExit(int timeoutMs = kWindowTimeoutMs);
  /// The process's visible top-level window of `className` (any class if null) with `caption`.
  HWND WaitForWindow(const wchar_t* className, const std::wstring& caption,
                     int timeoutMs = kWindowTimeoutMs) const;

 private:
  HANDLE process_ = nullptr;
  DWORD id_ = 0;
};

/// A visible top-level window of process `processId` with that class (any if null) and caption.
HWND FindTopLevelWindow(DWORD processId, const wchar_t* className, const std::wstring& caption);

std::wstring ClassName(HWND window);
std::wstring WindowText(HWND window);

/// The child windows of `parent`, in z-order.
std::vector<HWND> Children(HWND parent);
/// The child of `parent` with that class and text, or null.
HWND FindChild(HWND parent, const std::wstring& className, const std::wstring& text);

/// `window`'s rectangle in the client coordinates of its parent.
RECT RectInParent(HWND window);
SIZE ClientSize(HWND window);
SIZE OuterSize(HWND window);

/// The window with the keyboard focus in `window`'s thread (null if none).
HWND FocusOf(HWND window);
/// Posts a key press and release to the focused window of `window`'s thread, or to `window` as a
/// system key if nothing has the focus, as the keyboard would deliver it.
void PressKey(HWND window, WORD key);

}  // namespace qnd::test
