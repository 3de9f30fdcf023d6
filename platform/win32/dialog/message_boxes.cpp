#include "platform/win32/dialog/message_boxes.h"

#include <cwchar>
#include <iterator>

#include "platform/win32/wide.h"

namespace qnd::platform::win32 {

namespace {

// The hook that turns the next message box of this thread into the German yes/no question.
thread_local HHOOK questionHook = nullptr;

void MoveRight(HWND box, HWND button, int distance) {
  RECT bounds;
  ::GetWindowRect(button, &bounds);
  ::MapWindowPoints(nullptr, box, reinterpret_cast<POINT*>(&bounds), 2);
  ::SetWindowPos(button, nullptr, bounds.left + distance, bounds.top, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// The box is asked for Yes, No and Cancel: with Yes and No alone Windows ignores Esc and disables
// the close box. The hidden Cancel button keeps both ways out, answering no.
void MakeGermanYesNo(HWND box) {
  const HWND yes = ::GetDlgItem(box, IDYES);
  const HWND no = ::GetDlgItem(box, IDNO);
  const HWND cancel = ::GetDlgItem(box, IDCANCEL);
  if (yes) ::SetWindowTextW(yes, L"&Ja");
  if (no) ::SetWindowTextW(no, L"&Nein");
  if (!yes || !no || !cancel) return;
  // The row of buttons was centred with Cancel; half its place to the right centres Ja and Nein.
  RECT noBounds, cancelBounds;
  ::GetWindowRect(no, &noBounds);
  ::GetWindowRect(cancel, &cancelBounds);
  const int shift = (cancelBounds.right - noBounds.right) / 2;
  // Hidden, not disabled: a disabled Cancel button would make the dialog ignore Esc.
  ::ShowWindow(cancel, SW_HIDE);
  MoveRight(box, yes, shift);
  MoveRight(box, no, shift);
}

// Windows lays out the box's buttons when it handles WM_INITDIALOG (Wine only then, after the
// activation), so the buttons change once that is done.
thread_local WNDPROC boxProcedure = nullptr;

LRESULT CALLBACK AfterBoxInitialisation(HWND box, UINT message, WPARAM wParam, LPARAM lParam) {
  const WNDPROC original = boxProcedure;
  const LRESULT result = ::CallWindowProcW(original, box, message, wParam, lParam);
  if (message == WM_INITDIALOG) {
    ::SetWindowLongPtrW(box, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(original));
    MakeGermanYesNo(box);
  }
  return result;
}

LRESULT CALLBACK OnWindowCreation(int code, WPARAM wParam, LPARAM lParam) {
  if (code == HCBT_CREATEWND) {
    const HWND window = reinterpret_cast<HWND>(wParam);
    wchar_t className[16] = {};
    ::GetClassNameW(window, className, static_cast<int>(std::size(className)));
    if (std::wcscmp(className, L"#32770") == 0) {  // the dialog class of message boxes
      boxProcedure = reinterpret_cast<WNDPROC>(::SetWindowLongPtrW(
          window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(AfterBoxInitialisation)));
      ::UnhookWindowsHookEx(questionHook);
      questionHook = nullptr;
    }
  }
  return ::CallNextHookEx(nullptr, code, wParam, lParam);
}

}  // namespace

void ShowErrorMessage(HWND owner, const std::string& title, const std::string& text) {
  ::MessageBoxW(owner, Widen(text).c_str(), Widen(title).c_str(), MB_OK | MB_ICONERROR);
}

bool AskGermanYesNo(HWND owner, const std::string& title, const std::string& text) {
  const std::wstring wideTitle = Widen(title);
  const std::wstring wideText = Widen(text);
  // Thread-local: the hook sees only this thread's windows, so no other box is changed.
  questionHook = ::SetWindowsHookExW(WH_CBT, OnWindowCreation, nullptr, ::GetCurrentThreadId());
  const int answer = ::MessageBoxW(owner, wideText.c_str(), wideTitle.c_str(),
                                   MB_YESNOCANCEL | MB_ICONQUESTION | MB_DEFBUTTON1);
  if (questionHook) {  // the box did not come up
    ::UnhookWindowsHookEx(questionHook);
    questionHook = nullptr;
  }
  return answer == IDYES;
}

}  // namespace qnd::platform::win32
