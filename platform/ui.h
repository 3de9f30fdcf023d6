// The updater window as the logic sees it. The Win32 dialog (platform/win32/dialog/) and the Qt 6
// window (platform/qt/) implement it; tests use recording implementations. All sizes and positions
// are in pixels at 96 pixels per inch; a window on a display of another density scales them.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace qnd::platform {

/// What a test's UserInterface::EndProcess throws, since the real end of the process never returns;
/// the logic lets it pass wherever it catches failures.
struct ProcessEnded {
  int code;
};

/// What the progress log needs of a window: the log pane, the status bar, modal message boxes,
/// event processing, pauses and the end of the process.
class UserInterface {
 public:
  virtual ~UserInterface() = default;
  /// Appends `text` as the new last line of the log pane.
  virtual void AppendLogLine(const std::string& text) = 0;
  /// Replaces the text of the status bar.
  virtual void SetStatusText(const std::string& text) = 0;
  /// Replaces the text of the status bar and paints it at once, without processing any window
  /// event: a long step shows how far it is while no input is handled.
  virtual void PaintStatusText(const std::string& text) = 0;
  /// A modal box with the error icon and one "OK" button; returns when it is closed.
  virtual void ShowErrorBox(const std::string& title, const std::string& text) = 0;
  /// A modal question with the buttons "&Ja" (the default) and "&Nein"; true only for "&Ja"
  /// (Esc and closing the box count as no).
  virtual bool AskYesNo(const std::string& title, const std::string& text) = 0;
  /// Processes the window events that are pending, then returns.
  virtual void ProcessPendingEvents() = 0;
  /// Pauses the run for `milliseconds` without processing window events.
  virtual void Pause(int milliseconds) = 0;
  /// Ends the process with `code` at once; no further window events are processed. Never returns
  /// (a test implementation records the code and throws).
  [[noreturn]] virtual void EndProcess(int code) = 0;
};

/// The controls' fixed measures.
inline constexpr int kButtonWidth = 85;
inline constexpr int kButtonHeight = 25;
inline constexpr int kStatusBarHeight = 19;
inline constexpr int kStatusPanelWidth = 380;

enum class Placement {
  CenterPrimaryScreen,  ///< centred on the primary screen
  CenterDesktop,        ///< centred on the whole desktop (all screens together)
};

/// A program's window as designed.
struct WindowDesign {
  std::string caption;
  int clientWidth = 0;
  int clientHeight = 0;
  Placement placement = Placement::CenterPrimaryScreen;
  /// false: a fixed dialog frame without any title-bar buttons; true: a resizable frame with the
  /// standard title-bar buttons, the buttons keeping their distance to the right edge.
  bool resizable = false;
  int abbruchLeft = 0, abbruchTop = 0;
  int weiterLeft = 0, weiterTop = 0;
  /// The text of the box, titled with the caption, that the window shows itself when a failure
  /// escapes even the program's default handler; the program gives it with the design, so the
  /// window needs nothing from the program once that handler has failed.
  std::string escapedFailureText;
};

/// The main window: buttons "Abbruch" and "Weiter", the log pane above the status bar.
class UpdaterWindow : public UserInterface {
 public:
  virtual void BringToFront() = 0;
  virtual void ClearLog() = 0;
  virtual void SetLogPaneVisible(bool visible) = 0;
  virtual void SetLogPaneHeight(int height) = 0;
  /// The height of the whole window, frame included.
  virtual void SetOuterHeight(int height) = 0;
  virtual void SetClientHeight(int height) = 0;
  virtual int ClientHeight() = 0;
  virtual void FocusWeiter() = 0;
  /// A disabled "Weiter" shows the greyed forward image and cannot be pressed (nor by Enter).
  virtual void SetWeiterEnabled(bool enabled) = 0;
  /// Shows the hourglass until RestoreCursor puts back the cursor shown before.
  virtual void ShowBusyCursor() = 0;
  virtual void RestoreCursor() = 0;
  /// The window as the system knows it (an HWND on Windows), for the shell's windows to belong to.
  virtual void* NativeHandle() = 0;
};

/// What the window reports to the logic.
class WindowEvents {
 public:
  virtual ~WindowEvents() = default;
  /// The window is about to appear for the first time; it is not drawn before this returns.
  virtual void FormShow() = 0;
  /// "Weiter" was pressed (a click, or Enter where it is the default button).
  virtual void BtWeiterClick() = 0;
  /// "Abbruch" was pressed (a click, or Esc).
  virtual void BtAbbruchClick() = 0;
  /// The window was asked to close through its frame.
  virtual void CloseRequested() = 0;
};

/// Makes the program's handler once the window exists (the window's creation event), with the
/// program's arguments (itself first) as the front end leaves them: Qt takes its own options such
/// as "-platform offscreen" out of them first.
using FormCreateFunction = std::function<std::unique_ptr<WindowEvents>(
    UpdaterWindow& window, const std::vector<std::string>& arguments)>;

/// Starts the GUI application with the main window as its taskbar window, creates the window from
/// `design`, calls `formCreate`, calls FormShow before the window is first drawn and runs the event
/// loop until the process ends. Returns the exit code should the loop ever end by itself.
int RunUpdaterApplication(int argc, char** argv, const WindowDesign& design,
                          const FormCreateFunction& formCreate);

}  // namespace qnd::platform
