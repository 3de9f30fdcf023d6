// The updater's main window as a Win32 window: "Abbruch" and "Weiter" with their images, the log
// pane (a rich edit) above the status bar. It handles Enter, Esc and Tab itself, the way a dialog
// does, so that they also work while a run processes the window's events.
#pragma once

#include <string>

#include "platform/ui.h"
#include "platform/win32/dialog/button_images.h"
#include "platform/win32/dialog/gdi_handles.h"

namespace qnd::platform::win32 {

class Win32UpdaterWindow final : public UpdaterWindow {
 public:
  /// Creates the window from `design`, hidden; the log pane is a control of `richEditClass`.
  Win32UpdaterWindow(const WindowDesign& design, const wchar_t* richEditClass);
  ~Win32UpdaterWindow() override;
  Win32UpdaterWindow(const Win32UpdaterWindow&) = delete;
  Win32UpdaterWindow& operator=(const Win32UpdaterWindow&) = delete;

  /// False when the system could not create the window.
  bool Created() const { return window_ != nullptr; }
  /// Where the window reports its events; none are reported before.
  void SetEvents(WindowEvents* events) { events_ = events; }
  /// Calls FormShow, then places the window as designed and shows it.
  void Show();
  /// Handles one message taken from this thread's queue.
  void Dispatch(MSG& message);

  void AppendLogLine(const std::string& text) override;
  void SetStatusText(const std::string& text) override;
  void PaintStatusText(const std::string& text) override;
  void ShowErrorBox(const std::string& title, const std::string& text) override;
  bool AskYesNo(const std::string& title, const std::string& text) override;
  void ProcessPendingEvents() override;
  void Pause(int milliseconds) override;
  [[noreturn]] void EndProcess(int code) override;

  void BringToFront() override;
  void ClearLog() override;
  void SetLogPaneVisible(bool visible) override;
  void SetLogPaneHeight(int height) override;
  void SetOuterHeight(int height) override;
  void SetClientHeight(int height) override;
  int ClientHeight() override;
  void FocusWeiter() override;
  void SetWeiterEnabled(bool enabled) override;
  void* NativeHandle() override { return window_; }
  void ShowBusyCursor() override;
  void RestoreCursor() override;

 private:
  static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
  void CreateControls(const wchar_t* richEditClass);
  /// Fonts, images and the log pane's text format for the window's current DPI.
  void ApplyDpi(int dpi);
  void Layout();
  int Scale(int length) const;
  void PlaceAsDesigned();
  /// Enter, Esc and Tab for the window and its controls; true when the key was handled.
  bool HandleDialogKey(const MSG& message);
  void Press(HWND button);
  /// The default button's frame follows the focus, as in a dialog: "Abbruch" has it while it is
  /// focused, "Weiter" otherwise.
  void FollowFocus();
  /// Shows a failure that escaped an event handler; nothing may cross the window procedure.
  void ReportEscapedFailure() noexcept;

  WindowDesign design_;
  WindowEvents* events_ = nullptr;
  HWND window_ = nullptr;
  HWND btAbbruch_ = nullptr;    // "Abbruch", the cancel button
  HWND btWeiter_ = nullptr;     // "Weiter", the default button
  HWND rEdErgebnis_ = nullptr;  // the log pane
  HWND sbStatus_ = nullptr;     // the status bar with its one panel
  int dpi_ = 96;
  int logHeight_ = 0;
  HWND focusWhenShown_ = nullptr;
  HWND focusWhenInactive_ = nullptr;
  HWND lastFocus_ = nullptr;
  bool abbruchIsDefault_ = false;
  bool busy_ = false;
  HCURSOR cursorBeforeBusy_ = nullptr;
  FontHandle windowFont_;
  FontHandle buttonFont_;
  ButtonImages ilButton_;  // the buttons' images at the current DPI
};

}  // namespace qnd::platform::win32
