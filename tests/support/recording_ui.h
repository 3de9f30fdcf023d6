// A UserInterface for tests: records every line, status text, box, pause and the exit code in one
// ordered list of events, answers confirmations from a script and never sleeps.
#pragma once

#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/ui.h"

namespace qnd::test {

/// Thrown by RecordingUi::EndProcess: the process has ended, nothing after it runs.
using ProcessEnded = platform::ProcessEnded;

/// Runs `action` until the process ends; the exit code, or nothing when it did not end.
std::optional<int> RunUntilEnd(const std::function<void()>& action);

struct UiEvent {
  /// PaintedStatus: a status text painted at once (PaintStatusText).
  enum class Kind { Line, Status, PaintedStatus, ErrorBox, Question, Pump, Pause, End };
  Kind kind;
  std::string title;  ///< boxes only
  std::string text;   ///< line, status or box text
  int number = 0;     ///< pause in milliseconds, or exit code
  bool operator==(const UiEvent&) const = default;
};

class RecordingUi : public platform::UserInterface {
 public:
  void AppendLogLine(const std::string& text) override;
  void SetStatusText(const std::string& text) override;
  void PaintStatusText(const std::string& text) override;
  void ShowErrorBox(const std::string& title, const std::string& text) override;
  bool AskYesNo(const std::string& title, const std::string& text) override;
  void ProcessPendingEvents() override;
  void Pause(int milliseconds) override;
  /// Records the code and throws ProcessEnded, since the real end of the process never returns.
  [[noreturn]] void EndProcess(int code) override;

  /// The answers to the next questions, in order; a question without a scripted answer fails the
  /// test.
  void AnswerQuestions(std::deque<bool> answers) { answers_ = std::move(answers); }

  const std::vector<UiEvent>& Events() const { return events_; }
  std::vector<std::string> Lines() const;
  std::vector<std::string> ErrorTexts() const;
  std::string Status() const { return status_; }
  std::optional<int> ExitCode() const { return exitCode_; }

 private:
  void Record(UiEvent event);

  std::vector<UiEvent> events_;
  std::deque<bool> answers_;
  std::string status_;
  std::optional<int> exitCode_;
};

}  // namespace qnd::test
