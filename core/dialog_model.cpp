#include "core/dialog_model.h"

#include "core/failure.h"
#include "core/status.h"
#include "platform/process.h"

namespace qnd {

UpdaterDialog::UpdaterDialog(platform::UpdaterWindow& window, const platform::WindowDesign& design,
                             Program program, platform::Platform services)
    : window_(window),
      log_(window),
      context_{state_, log_, services, program},
      design_(design) {}

void UpdaterDialog::EnterCompactMode() {
  window_.BringToFront();
  log_.PumpEvents();
  window_.ClearLog();
  window_.SetLogPaneVisible(false);
  window_.SetLogPaneHeight(0);
  if (context_.program == Program::LocalUpdater) {
    window_.SetOuterHeight(kLocalCompactOuterHeight);
  } else {
    window_.SetClientHeight(design_.abbruchTop + platform::kButtonHeight +
                            platform::kStatusBarHeight + kDirCompactMargin);
    state_.CompactClientHeight = window_.ClientHeight();
  }
  window_.FocusWeiter();
}

void UpdaterDialog::EnterExpandedMode() {
  if (context_.program == Program::LocalUpdater) {
    window_.SetOuterHeight(kLocalExpandedOuterHeight);
    window_.SetLogPaneHeight(kLogPaneHeight);
  } else {
    window_.SetLogPaneHeight(kLogPaneHeight);
    window_.SetClientHeight(state_.CompactClientHeight + kLogPaneHeight);
  }
  window_.SetLogPaneVisible(true);
  log_.PumpEvents();
}

void UpdaterDialog::RunGuarded(const std::function<void()>& action) {
  try {
    action();
  } catch (const Failure& failure) {
    log_.ShowUnexpectedFailure(platform::RunningProgramPath(), failure.Text());
    if (closeRequested_) log_.EndProcess(kExitSuccess);
  }
}

void UpdaterDialog::BtWeiterClick() {
  if (running_) return;
  running_ = true;
  window_.SetWeiterEnabled(false);
  RunGuarded([this] { Verarbeite(); });
  running_ = false;
  window_.SetWeiterEnabled(true);
}

void UpdaterDialog::BtAbbruchClick() { log_.EndProcess(kExitFailure); }

void UpdaterDialog::CloseRequested() {
  if (running_) {
    closeRequested_ = true;
    return;
  }
  log_.EndProcess(kExitSuccess);
}

}  // namespace qnd
