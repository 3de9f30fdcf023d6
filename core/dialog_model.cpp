#include "core/dialog_model.h"

#include <new>
#include <string>

#include "core/default_failure_handler.h"
#include "core/failure.h"
#include "core/status.h"
#include "platform/process.h"

namespace qnd {

UpdaterDialog::UpdaterDialog(platform::UpdaterWindow& window, Program program,
                             platform::Platform services)
    : window_(window), log_(window), context_{state_, log_, services, program} {
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
  SizeCompactMode();
  window_.FocusWeiter();
}

void UpdaterDialog::EnterExpandedMode() {
  SizeExpandedMode();
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
    text = kUnknownFailureText;
  }
  log_.ShowUnexpectedFailure(context_.platform.process->ProgramPath(), text);
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
