#include "tests/support/recording_ui.h"

#include <gtest/gtest.h>

namespace qnd::test {

void RecordingUi::Record(UiEvent event) {
  // The process has ended: nothing may happen after it.
  EXPECT_FALSE(exitCode_.has_value()) << "UI used after the process ended: " << event.text;
  events_.push_back(std::move(event));
}

void RecordingUi::AppendLogLine(const std::string& text) {
  Record({UiEvent::Kind::Line, "", text});
}

void RecordingUi::SetStatusText(const std::string& text) {
  status_ = text;
  Record({UiEvent::Kind::Status, "", text});
}

void RecordingUi::PaintStatusText(const std::string& text) {
  status_ = text;
  Record({UiEvent::Kind::PaintedStatus, "", text});
}

void RecordingUi::ShowErrorBox(const std::string& title, const std::string& text) {
  Record({UiEvent::Kind::ErrorBox, title, text});
}

bool RecordingUi::AskYesNo(const std::string& title, const std::string& text) {
  Record({UiEvent::Kind::Question, title, text});
  if (answers_.empty()) {
    ADD_FAILURE() << "unexpected question: " << text;
    return false;
  }
  const bool answer = answers_.front();
  answers_.pop_front();
  return answer;
}

void RecordingUi::ProcessPendingEvents() { Record({UiEvent::Kind::Pump, "", ""}); }

void RecordingUi::Pause(int milliseconds) { Record({UiEvent::Kind::Pause, "", "", milliseconds}); }

void RecordingUi::EndProcess(int code) {
  Record({UiEvent::Kind::End, "", "", code});
  exitCode_ = code;
  throw ProcessEnded{code};
}

std::optional<int> RunUntilEnd(const std::function<void()>& action) {
  try {
    action();
  } catch (const ProcessEnded& ended) {
    return ended.code;
  }
  return std::nullopt;
}

std::vector<std::string> RecordingUi::Lines() const {
  std::vector<std::string> lines;
  for (const UiEvent& event : events_) {
    if (event.kind == UiEvent::Kind::Line) lines.push_back(event.text);
  }
  return lines;
}

std::vector<std::string> RecordingUi::ErrorTexts() const {
  std::vector<std::string> texts;
  for (const UiEvent& event : events_) {
    if (event.kind == UiEvent::Kind::ErrorBox) texts.push_back(event.text);
  }
  return texts;
}

}  // namespace qnd::test
