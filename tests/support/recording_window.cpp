#include "tests/support/recording_window.h"

namespace qnd::test {

void RecordingWindow::ProcessPendingEvents() {
  Note("Pump");
  ui.ProcessPendingEvents();
  std::vector<std::function<void()>> actions;
  actions.swap(pending_);
  for (const auto& action : actions) action();
}

void RecordingWindow::SetClientHeight(int height) {
  clientHeight = height;
  Note("ClientHeight=" + std::to_string(height));
}

}  // namespace qnd::test
