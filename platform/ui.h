// What the progress log needs of a window: the log pane, the status bar, modal message boxes, event
// processing, pauses and the end of the process. The Win32 dialog and the Qt window implement it;
// tests use a recording implementation.
#pragma once

#include <string>

namespace qnd::platform {

class UserInterface {
 public:
  virtual ~UserInterface() = default;
  /// Appends `text` as the new last line of the log pane.
  virtual void AppendLogLine(const std::string& text) = 0;
  /// Replaces the text of the status bar.
  virtual void SetStatusText(const std::string& text) = 0;
  /// A modal box with the error icon and one "OK" button; returns when it is closed.
  virtual void ShowErrorBox(const std::string& title, const std::string& text) = 0;
  /// A modal question with the buttons "&Ja" (the default) and "&Nein"; true only for "&Ja"
  /// (Esc and closing the box count as no).
  virtual bool AskYesNo(const std::string& title, const std::string& text) = 0;
  /// Processes the window events that are pending, then returns.
  virtual void ProcessPendingEvents() = 0;
  /// Pauses the run for `milliseconds` without processing window events.
  virtual void Pause(int milliseconds) = 0;
  /// Ends the process with `code`. In the programs this never returns; a test implementation
  /// records the code and returns, so every caller returns right after calling it.
  virtual void EndProcess(int code) = 0;
};

}  // namespace qnd::platform
