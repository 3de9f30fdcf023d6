#include "core/dialog_model.h"

#include <new>
#include <string>

#include "core/failure.h"
#include "core/status.h"
#include "platform/process.h"

namespace qnd {

UpdaterDialog::UpdaterDialog(platform::UpdaterWindow& window, const platform::WindowDesign& design,
                             Program program, platform::Platform services)
    : window_(window), log_(window), context_{state_, log_, services, program}, design_(design) {
  // The shell's progress and error windows belong to this window, in front of it and keeping it
  // from input while they are open.
  if (services.shell) services.shell->SetOwnerWindow(window.NativeHandle());
}

UpdaterDialog::~UpdaterDialog() {
  if (context_.platform.shell) context_.platform.shell->SetOwnerWindow(nullptr);
}

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
  // Every failure the run does not handle goes to the default handler; one that carries no German
  // text of its own is named by its kind.
  std::string text;
  try {
    action();
    return;
  } catch (const platform::ProcessEnded&) {
    throw;
  } catch (const Failure& failure) {
    text = failure.Text();
  } catch (const std::bad_alloc&) {
    text = kOutOfMemoryText;
  } catch (...) {
    text = platform::kUnknownFailureText;
  }
  log_.ShowUnexpectedFailure(platform::RunningProgramPath(), text);
  if (closeRequested_) log_.EndProcess(kExitSuccess);
}

void UpdaterDialog::BtWeiterClick() {
  if (running_) return;
  running_ = true;
  window_.SetWeiterEnabled(false);
  RunGuarded([this] { Verarbeite(); });
  // Only a run stopped by an unexpected failure comes back here; the window waits again.
  running_ = false;
  window_.SetWeiterEnabled(true);
  window_.FocusWeiter();
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
