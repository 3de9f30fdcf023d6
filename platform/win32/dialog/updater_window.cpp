#include "platform/win32/dialog/updater_window.h"

#include <algorithm>
#include <cwchar>
#include <exception>
#include <utility>

#include "platform/process.h"
#include "platform/win32/dialog/dpi_scale.h"
#include "platform/win32/dialog/message_boxes.h"
#include "platform/win32/wide.h"
// After win32.h (through wide.h), which sets the macros the rich edit header depends on.
#include <richedit.h>

namespace qnd::platform::win32 {

namespace {

constexpr wchar_t kWindowClass[] = L"QndUpdaterWindow";

// Control ids: the buttons carry the dialog ids of their roles.
constexpr int kIdWeiter = IDOK;
constexpr int kIdAbbruch = IDCANCEL;
constexpr int kIdLog = 3;
constexpr int kIdStatus = 4;

constexpr int kDesignedLogHeight = 180;  // the pane as designed, before FormShow hides it
constexpr int kWindowFontPoints = 8;
constexpr int kButtonFontPoints = 10;
constexpr int kImageRightMargin = 4;
// The log pane keeps growing through a run; the rich edit's default limit is 32 K characters.
constexpr int kLogTextLimit = 16 * 1024 * 1024;

void RegisterWindowClass(WNDPROC windowProc) {
  static const bool registered = [windowProc] {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = windowProc;
    windowClass.hInstance = ::GetModuleHandleW(nullptr);
    windowClass.hIcon = ::LoadIconW(nullptr, IDI_APPLICATION);
    windowClass.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = kWindowClass;
    return ::RegisterClassExW(&windowClass) != 0;
  }();
  (void)registered;
}

HWND CreateChild(HWND parent, const wchar_t* className, const wchar_t* text, DWORD style,
                 DWORD exStyle, int id) {
  return ::CreateWindowExW(exStyle, className, text, WS_CHILD | style, 0, 0, 0, 0, parent,
                           reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                           ::GetModuleHandleW(nullptr), nullptr);
}

int Height(const RECT& rect) { return rect.bottom - rect.top; }
int Width(const RECT& rect) { return rect.right - rect.left; }

}  // namespace

Win32UpdaterWindow::Win32UpdaterWindow(const WindowDesign& design, const wchar_t* richEditClass)
    : design_(design), logHeight_(kDesignedLogHeight) {
  RegisterWindowClass(WindowProc);
  DWORD style = WS_CLIPCHILDREN;
  DWORD exStyle = WS_EX_APPWINDOW | WS_EX_CONTROLPARENT;
  if (design_.resizable) {
    style |= WS_OVERLAPPEDWINDOW;
  } else {
    // A dialog frame with a caption but no system menu, so no title-bar buttons at all.
    style |= WS_OVERLAPPED | WS_CAPTION;
    exStyle |= WS_EX_DLGMODALFRAME;
  }
  // Created on the primary screen; the size follows once the window's DPI is known.
  window_ = ::CreateWindowExW(exStyle, kWindowClass, Widen(design_.caption).c_str(), style, 0, 0,
                              design_.clientWidth, design_.clientHeight, nullptr, nullptr,
                              ::GetModuleHandleW(nullptr), this);
  if (!window_) return;
  CreateControls(richEditClass);
  ApplyDpi(WindowDpi(window_));
  RECT outer, client;
  ::GetWindowRect(window_, &outer);
  ::GetClientRect(window_, &client);
  ::SetWindowPos(window_, nullptr, 0, 0, Scale(design_.clientWidth) + Width(outer) - Width(client),
                 Scale(design_.clientHeight) + Height(outer) - Height(client),
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  Layout();
}

Win32UpdaterWindow::~Win32UpdaterWindow() {
  if (window_) {
    ::SetWindowLongPtrW(window_, GWLP_USERDATA, 0);
    ::DestroyWindow(window_);
  }
}

void Win32UpdaterWindow::CreateControls(const wchar_t* richEditClass) {
  btAbbruch_ = CreateChild(window_, WC_BUTTONW, L"Abbruch", WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON,
                           0, kIdAbbruch);
  btWeiter_ = CreateChild(window_, WC_BUTTONW, L"Weiter",
                          WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON, 0, kIdWeiter);
  rEdErgebnis_ = CreateChild(
      window_, richEditClass, L"",
      WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | ES_MULTILINE | ES_AUTOVSCROLL | ES_WANTRETURN,
      WS_EX_CLIENTEDGE, kIdLog);
  ::SendMessageW(rEdErgebnis_, EM_EXLIMITTEXT, 0, kLogTextLimit);
  // The size grip belongs to a frame that can be resized.
  sbStatus_ = CreateChild(
      window_, STATUSCLASSNAMEW, L"",
      WS_VISIBLE | CCS_NORESIZE | CCS_NOPARENTALIGN | (design_.resizable ? SBARS_SIZEGRIP : 0), 0,
      kIdStatus);
}

void Win32UpdaterWindow::ApplyDpi(int dpi) {
  dpi_ = dpi;
  // The controls get the new fonts before the old ones are deleted.
  FontHandle windowFont = CreateTahoma(kWindowFontPoints, dpi_);
  FontHandle buttonFont = CreateTahoma(kButtonFontPoints, dpi_);
  ::SendMessageW(sbStatus_, WM_SETFONT, reinterpret_cast<WPARAM>(windowFont.get()), TRUE);
  ::SendMessageW(btAbbruch_, WM_SETFONT, reinterpret_cast<WPARAM>(buttonFont.get()), TRUE);
  ::SendMessageW(btWeiter_, WM_SETFONT, reinterpret_cast<WPARAM>(buttonFont.get()), TRUE);
  windowFont_ = std::move(windowFont);
  buttonFont_ = std::move(buttonFont);

  // The rich edit measures its text in points itself; it gets the face and size, not a font.
  CHARFORMAT2W format{};
  format.cbSize = sizeof format;
  // The control's own default is the bold System font: weight and effects are reset as well.
  format.dwMask = CFM_FACE | CFM_SIZE | CFM_CHARSET | CFM_WEIGHT | CFM_BOLD | CFM_ITALIC |
                  CFM_UNDERLINE | CFM_STRIKEOUT;
  format.yHeight = kWindowFontPoints * 20;  // in twips
  format.wWeight = FW_NORMAL;
  format.bCharSet = DEFAULT_CHARSET;
  std::wcsncpy(format.szFaceName, L"Tahoma", LF_FACESIZE - 1);
  ::SendMessageW(rEdErgebnis_, EM_SETCHARFORMAT, SCF_ALL, reinterpret_cast<LPARAM>(&format));
  ::SendMessageW(rEdErgebnis_, EM_SETCHARFORMAT, SCF_DEFAULT, reinterpret_cast<LPARAM>(&format));
  ::SendMessageW(rEdErgebnis_, EM_SETZOOM, 0, 0);  // 100 %

  // The buttons keep the old lists until they have the new ones.
  ButtonImages images = LoadButtonImages(dpi_);
  PutImagesOnButton(btAbbruch_, images.abbruch.get(), Scale(kImageRightMargin));
  PutImagesOnButton(btWeiter_, images.weiter.get(), Scale(kImageRightMargin));
  ilButton_ = std::move(images);
}

int Win32UpdaterWindow::Scale(int length) const { return ScaleToDpi(length, dpi_); }

void Win32UpdaterWindow::Layout() {
  RECT client;
  ::GetClientRect(window_, &client);
  const int width = Width(client);
  const int height = Height(client);
  const int statusHeight = Scale(kStatusBarHeight);
  ::MoveWindow(sbStatus_, 0, height - statusHeight, width, statusHeight, TRUE);
  int panelRight = Scale(kStatusPanelWidth);
  ::SendMessageW(sbStatus_, SB_SETPARTS, 1, reinterpret_cast<LPARAM>(&panelRight));

  // The log pane sits right above the status bar, over the full width.
  const int logHeight = Scale(logHeight_);
  ::MoveWindow(rEdErgebnis_, 0, height - statusHeight - logHeight, width, logHeight, TRUE);

  // The buttons keep their designed distance to the right edge.
  const auto placeButton = [&](HWND button, int left, int top) {
    ::MoveWindow(button, width - Scale(design_.clientWidth - left), Scale(top), Scale(kButtonWidth),
                 Scale(kButtonHeight), TRUE);
  };
  placeButton(btAbbruch_, design_.abbruchLeft, design_.abbruchTop);
  placeButton(btWeiter_, design_.weiterLeft, design_.weiterTop);
}

void Win32UpdaterWindow::PlaceAsDesigned() {
  RECT area;
  if (design_.placement == Placement::CenterDesktop) {
    area.left = ::GetSystemMetrics(SM_XVIRTUALSCREEN);
    area.top = ::GetSystemMetrics(SM_YVIRTUALSCREEN);
    area.right = area.left + ::GetSystemMetrics(SM_CXVIRTUALSCREEN);
    area.bottom = area.top + ::GetSystemMetrics(SM_CYVIRTUALSCREEN);
  } else {
    area = {0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)};
  }
  RECT outer;
  ::GetWindowRect(window_, &outer);
  // A window taller than the screen keeps its caption on the screen.
  const int left = std::max(area.left, area.left + (Width(area) - Width(outer)) / 2);
  const int top = std::max(area.top, area.top + (Height(area) - Height(outer)) / 2);
  ::SetWindowPos(window_, nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void Win32UpdaterWindow::Show() {
  if (!window_) return;
  if (events_) {
    // FormShow runs before the window is first drawn; it sizes the window, which is then centred.
    try {
      events_->FormShow();
    } catch (...) {
      ReportEscapedFailure();
    }
  }
  PlaceAsDesigned();
  ::ShowWindow(window_, SW_SHOW);
  ::UpdateWindow(window_);
  ::SetForegroundWindow(window_);
  ::SetFocus(focusWhenShown_ ? focusWhenShown_ : btWeiter_);
  FollowFocus();
}

// ---- events ----------------------------------------------------------------------------------

LRESULT CALLBACK Win32UpdaterWindow::WindowProc(HWND window, UINT message, WPARAM wParam,
                                                LPARAM lParam) {
  if (message == WM_NCCREATE) {
    const auto* creation = reinterpret_cast<const CREATESTRUCTW*>(lParam);
    ::SetWindowLongPtrW(window, GWLP_USERDATA,
                        reinterpret_cast<LONG_PTR>(creation->lpCreateParams));
  }
  auto* self = reinterpret_cast<Win32UpdaterWindow*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
  if (!self || !self->window_) return ::DefWindowProcW(window, message, wParam, lParam);
  try {
    return self->HandleMessage(message, wParam, lParam);
  } catch (...) {
    self->ReportEscapedFailure();
  }
  return 0;
}

LRESULT Win32UpdaterWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_COMMAND:
      if (HIWORD(wParam) == BN_CLICKED && events_) {
        const HWND button = reinterpret_cast<HWND>(lParam);
        if (button == btWeiter_ && ::IsWindowEnabled(btWeiter_)) events_->BtWeiterClick();
        if (button == btAbbruch_) events_->BtAbbruchClick();
        return 0;
      }
      break;
    case WM_CLOSE:
      // The handler decides; the window itself is never destroyed by its frame.
      if (events_) events_->CloseRequested();
      return 0;
    case WM_SIZE:
      Layout();
      return 0;
    case WM_ACTIVATE:
      // A plain window gives the focus to itself when it is activated; a dialog gives it back to
      // the control that had it.
      if (LOWORD(wParam) == WA_INACTIVE) {
        const HWND focus = ::GetFocus();
        focusWhenInactive_ = ::IsChild(window_, focus) ? focus : nullptr;
      } else if (focusWhenInactive_ && ::IsWindowVisible(focusWhenInactive_) &&
                 ::IsWindowEnabled(focusWhenInactive_)) {
        ::SetFocus(focusWhenInactive_);
        return 0;
      }
      break;
    case WM_SETCURSOR:
      if (busy_) {
        ::SetCursor(::LoadCursorW(nullptr, IDC_WAIT));
        return TRUE;
      }
      break;
    case WM_DPICHANGED: {
      ApplyDpi(HIWORD(wParam));
      const auto* suggested = reinterpret_cast<const RECT*>(lParam);
      ::SetWindowPos(window_, nullptr, suggested->left, suggested->top, Width(*suggested),
                     Height(*suggested), SWP_NOZORDER | SWP_NOACTIVATE);
      Layout();
      return 0;
    }
    case WM_DESTROY:
      ::PostQuitMessage(0);
      return 0;
    default:
      break;
  }
  return ::DefWindowProcW(window_, message, wParam, lParam);
}

void Win32UpdaterWindow::ReportEscapedFailure() noexcept {
  // Only a failure of the default handler itself comes here; nothing may leave it.
  try {
    const std::wstring text = Widen(design_.escapedFailureText);
    ::MessageBoxW(window_, text.c_str(), Widen(design_.caption).c_str(), MB_OK | MB_ICONERROR);
  } catch (...) {
    ::MessageBoxW(window_, nullptr, nullptr, MB_OK | MB_ICONERROR);
  }
}

void Win32UpdaterWindow::Dispatch(MSG& message) {
  if (!HandleDialogKey(message)) {
    ::TranslateMessage(&message);
    ::DispatchMessageW(&message);
  }
  // The rich edit sets its own cursor on every move; a busy run shows the hourglass over it too.
  if (busy_ && message.message == WM_MOUSEMOVE) ::SetCursor(::LoadCursorW(nullptr, IDC_WAIT));
  FollowFocus();
}

bool Win32UpdaterWindow::HandleDialogKey(const MSG& message) {
  // Without a focused control the keys come as system keys; Esc cancels however it comes.
  const bool systemEscape = message.message == WM_SYSKEYDOWN && message.wParam == VK_ESCAPE;
  if (message.message != WM_KEYDOWN && !systemEscape) return false;
  const HWND target = message.hwnd;
  if (target != window_ && !::IsChild(window_, target)) return false;
  switch (message.wParam) {
    case VK_ESCAPE:
      Press(btAbbruch_);
      return true;
    case VK_RETURN:
      if (target == rEdErgebnis_) return false;  // a line break in the pane
      if (target == btAbbruch_) {
        Press(btAbbruch_);
      } else if (::IsWindowEnabled(btWeiter_)) {
        Press(btWeiter_);
      }
      return true;
    case VK_TAB: {
      if (::GetKeyState(VK_CONTROL) < 0) return false;
      const HWND from = target == window_ ? nullptr : target;
      if (const HWND next = ::GetNextDlgTabItem(window_, from, ::GetKeyState(VK_SHIFT) < 0)) {
        ::SetFocus(next);
      }
      return true;
    }
    default:
      return false;
  }
}

void Win32UpdaterWindow::Press(HWND button) {
  ::SendMessageW(window_, WM_COMMAND, MAKEWPARAM(::GetDlgCtrlID(button), BN_CLICKED),
                 reinterpret_cast<LPARAM>(button));
}

void Win32UpdaterWindow::FollowFocus() {
  const HWND focus = ::GetFocus();
  if (focus == lastFocus_) return;
  lastFocus_ = focus;
  const bool abbruchIsDefault = focus == btAbbruch_;
  if (abbruchIsDefault == abbruchIsDefault_) return;
  abbruchIsDefault_ = abbruchIsDefault;
  ::SendMessageW(btAbbruch_, BM_SETSTYLE, abbruchIsDefault ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON,
                 TRUE);
  ::SendMessageW(btWeiter_, BM_SETSTYLE, abbruchIsDefault ? BS_PUSHBUTTON : BS_DEFPUSHBUTTON, TRUE);
}

// ---- UserInterface -----------------------------------------------------------------------------

void Win32UpdaterWindow::AppendLogLine(const std::string& text) {
  GETTEXTLENGTHEX lengthQuery{GTL_NUMCHARS, 1200};  // in characters, paragraphs ending in one CR
  const auto length = static_cast<WPARAM>(
      ::SendMessageW(rEdErgebnis_, EM_GETTEXTLENGTHEX, reinterpret_cast<WPARAM>(&lengthQuery), 0));
  const std::wstring line = (length > 0 ? L"\r\n" : L"") + Widen(text);
  ::SendMessageW(rEdErgebnis_, EM_SETSEL, length, static_cast<LPARAM>(length));
  ::SendMessageW(rEdErgebnis_, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(line.c_str()));
  // The caret is behind the new line; the pane shows it even without the focus.
  ::SendMessageW(rEdErgebnis_, EM_SCROLLCARET, 0, 0);
  ::SendMessageW(rEdErgebnis_, WM_VSCROLL, SB_BOTTOM, 0);
}

void Win32UpdaterWindow::SetStatusText(const std::string& text) {
  const std::wstring wide = Widen(text);
  ::SendMessageW(sbStatus_, SB_SETTEXTW, 0, reinterpret_cast<LPARAM>(wide.c_str()));
}

void Win32UpdaterWindow::PaintStatusText(const std::string& text) {
  SetStatusText(text);
  // Paints the status bar's invalid part now, through its window procedure; no message is taken
  // from the queue, so no input is handled.
  ::UpdateWindow(sbStatus_);
  // Windows takes a window whose thread has not looked into its queue for 5 seconds for hung and
  // covers it with a ghost that shows nothing of this; a look that takes nothing keeps it alive.
  MSG message;
  ::PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE | PM_NOYIELD);
}

void Win32UpdaterWindow::ShowErrorBox(const std::string& title, const std::string& text) {
  ShowErrorMessage(window_, title, text);
}

bool Win32UpdaterWindow::AskYesNo(const std::string& title, const std::string& text) {
  return AskGermanYesNo(window_, title, text);
}

void Win32UpdaterWindow::ProcessPendingEvents() {
  MSG message;
  while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    if (message.message == WM_QUIT) {
      // Left for the message loop, which ends on it.
      ::PostQuitMessage(static_cast<int>(message.wParam));
      return;
    }
    Dispatch(message);
  }
}

void Win32UpdaterWindow::Pause(int milliseconds) { SleepMilliseconds(milliseconds); }

void Win32UpdaterWindow::EndProcess(int code) { EndProcessNow(code); }

// ---- UpdaterWindow -----------------------------------------------------------------------------

void Win32UpdaterWindow::BringToFront() {
  if (::IsIconic(window_)) ::ShowWindow(window_, SW_RESTORE);
  ::SetWindowPos(window_, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  // Before it is shown the window is only raised; Show activates it.
  if (::IsWindowVisible(window_)) ::SetForegroundWindow(window_);
}

void Win32UpdaterWindow::ClearLog() { ::SetWindowTextW(rEdErgebnis_, L""); }

void Win32UpdaterWindow::SetLogPaneVisible(bool visible) {
  ::ShowWindow(rEdErgebnis_, visible ? SW_SHOW : SW_HIDE);
  Layout();
}

void Win32UpdaterWindow::SetLogPaneHeight(int height) {
  logHeight_ = height;
  Layout();
}

void Win32UpdaterWindow::SetOuterHeight(int height) {
  RECT outer;
  ::GetWindowRect(window_, &outer);
  ::SetWindowPos(window_, nullptr, 0, 0, Width(outer), Scale(height),
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void Win32UpdaterWindow::SetClientHeight(int height) {
  RECT outer, client;
  ::GetWindowRect(window_, &outer);
  ::GetClientRect(window_, &client);
  ::SetWindowPos(window_, nullptr, 0, 0, Width(outer),
                 Scale(height) + Height(outer) - Height(client),
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

int Win32UpdaterWindow::ClientHeight() {
  RECT client;
  ::GetClientRect(window_, &client);
  return ScaleFromDpi(Height(client), dpi_);
}

void Win32UpdaterWindow::FocusWeiter() {
  // A hidden window cannot take the focus; it goes to "Weiter" when the window is shown.
  if (::IsWindowVisible(window_)) {
    ::SetFocus(btWeiter_);
  } else {
    focusWhenShown_ = btWeiter_;
  }
}

void Win32UpdaterWindow::SetWeiterEnabled(bool enabled) {
  // Windows leaves no focus at all when the focused button is disabled; the keys would then reach
  // the window as system keys. The window keeps the focus instead: Esc still cancels, and Enter
  // during the run presses nothing.
  if (!enabled && ::GetFocus() == btWeiter_) ::SetFocus(window_);
  ::EnableWindow(btWeiter_, enabled);
}

void Win32UpdaterWindow::ShowBusyCursor() {
  if (!busy_) {
    cursorBeforeBusy_ = ::GetCursor();
    busy_ = true;
  }
  ::SetCursor(::LoadCursorW(nullptr, IDC_WAIT));
}

void Win32UpdaterWindow::RestoreCursor() {
  if (!busy_) return;
  busy_ = false;
  ::SetCursor(cursorBeforeBusy_ ? cursorBeforeBusy_ : ::LoadCursorW(nullptr, IDC_ARROW));
}

}  // namespace qnd::platform::win32
