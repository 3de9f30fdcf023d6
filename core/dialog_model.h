// The part of the main window both programs share: the order of compact mode before the run and
// expanded mode during it, the two buttons, the close request and the default handler. Each
// program's TFHaupt derives from it and brings its own window: the design, the sizes of both modes,
// FormShow and Verarbeite.
#pragma once

#include <functional>

#include "core/progress_log.h"
#include "core/updater_context.h"
#include "core/updater_state.h"
#include "platform/ui.h"

namespace qnd {

/// The log pane's height while it is shown, the same in both windows.
inline constexpr int kLogPaneHeight = 180;

class UpdaterDialog : public platform::WindowEvents {
 public:
  /// The shell's windows belong to `window` while the dialog lives.
  UpdaterDialog(platform::UpdaterWindow& window, Program program, platform::Platform services);
  ~UpdaterDialog() override;
  UpdaterDialog(const UpdaterDialog&) = delete;
  UpdaterDialog& operator=(const UpdaterDialog&) = delete;

  /// Starts the run; "Weiter" stays disabled while it runs, so a click handled inside the run
  /// cannot start it again inside itself. A failure the run does not handle is shown by the
  /// default handler; the window then stays open for "Weiter" or "Abbruch".
  void BtWeiterClick() override;
  void BtAbbruchClick() override;
  /// While the window waits, closing it ends the program with 0; during a run it does not stop the
  /// run, whose own end decides the exit code (0 if the run stops on an unexpected failure).
  void CloseRequested() override;

  UpdaterState& State() { return state_; }

 protected:
  virtual void Verarbeite() = 0;

  /// Entered once, when the window is first shown: the log pane hidden and empty, the window at
  /// its compact size, "Weiter" focused.
  void EnterCompactMode();
  /// The first action of every run: the window at its expanded size, the log pane shown.
  void EnterExpandedMode();
  /// Runs `action`; any failure it raises (an unexpected platform failure, no memory, any other
  /// exception) is shown by the default handler, titled with the program path that the process
  /// service reports, and the window stays as after any such failure.
  void RunGuarded(const std::function<void()>& action);

  platform::UpdaterWindow& window_;
  UpdaterState state_;
  ProgressLog log_;
  UpdaterContext context_;

 private:
  /// The window's size in compact mode, after the log pane was hidden and set to height 0.
  virtual void SizeCompactMode() = 0;
  /// The window's and the log pane's sizes in expanded mode, before the log pane is shown.
  virtual void SizeExpandedMode() = 0;

  bool running_ = false;
  bool closeRequested_ = false;
};

}  // namespace qnd
