// How every step reports to the user: lines of the progress log, the status text, the error box, the
// confirmation box, event processing and the end of the process. It draws on the window through the
// platform's UserInterface, so the steps never depend on the window itself.
#pragma once

#include <string>

#include "platform/ui.h"

namespace qnd {

/// The pause after every line added with AddOkLine.
inline constexpr int kOkLinePauseMilliseconds = 500;

class ProgressLog {
 public:
  explicit ProgressLog(platform::UserInterface& ui) : ui_(ui) {}

  /// Appends `text` as the new last line of the log.
  void AddLine(const std::string& text);
  /// AddLine, then PumpEvents so the line is visible, then a pause of 500 ms.
  void AddOkLine(const std::string& text);
  /// Replaces the status text.
  void SetStatus(const std::string& text);
  /// The error box "Fehler" with `text`; returns when it is closed.
  void ShowError(const std::string& text);
  /// The confirmation box "Bestätigen"; true only for "&Ja".
  bool Confirm(const std::string& text);
  /// Processes the pending window events.
  void PumpEvents();
  /// Pauses for `milliseconds`.
  void Pause(int milliseconds);
  /// Ends the process with `code`; never returns.
  [[noreturn]] void EndProcess(int code);
  /// The default handler's box for a failure no step handled (see default_failure_handler.h).
  void ShowUnexpectedFailure(const std::string& programPath, const std::string& failureText);

 private:
  platform::UserInterface& ui_;
};

}  // namespace qnd
