#include "core/progress_log.h"

#include <cstdlib>

#include "core/default_failure_handler.h"

namespace qnd {

void ProgressLog::AddLine(const std::string& text) { ui_.AppendLogLine(text); }

void ProgressLog::AddOkLine(const std::string& text) {
  AddLine(text);
  PumpEvents();
  Pause(kOkLinePauseMilliseconds);
}

void ProgressLog::SetStatus(const std::string& text) { ui_.SetStatusText(text); }

void ProgressLog::ShowError(const std::string& text) { ui_.ShowErrorBox("Fehler", text); }

bool ProgressLog::Confirm(const std::string& text) { return ui_.AskYesNo("Bestätigen", text); }

void ProgressLog::PumpEvents() { ui_.ProcessPendingEvents(); }

void ProgressLog::Pause(int milliseconds) { ui_.Pause(milliseconds); }

void ProgressLog::EndProcess(int code) {
  ui_.EndProcess(code);
  // A window whose end returned must not let the run go on past its end.
  std::abort();
}

void ProgressLog::ShowUnexpectedFailure(const std::string& programPath,
                                        const std::string& failureText) {
  ui_.ShowErrorBox(FailureBoxTitle(programPath), FailureBoxText(failureText));
}

}  // namespace qnd
