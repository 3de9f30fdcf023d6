// The part of the main window both programs share: compact mode before the run, expanded mode
// during it, the two buttons and the close request. Each program's TFHaupt derives from it and adds
// its own FormShow and Verarbeite.
#pragma once

#include <functional>

#include "core/progress_log.h"
#include "core/updater_context.h"
#include "core/updater_state.h"
#include "platform/ui.h"

namespace qnd {

/// The default handler's text for a failure of memory; one of unknown kind is named by
/// platform::kUnknownFailureText.
inline constexpr char kOutOfMemoryText[] = "Nicht genügend Arbeitsspeicher";

/// The log pane's height while it is shown.
inline constexpr int kLogPaneHeight = 180;
/// QNDUpdater's outer window heights.
inline constexpr int kLocalCompactOuterHeight = 170;
inline constexpr int kLocalExpandedOuterHeight = 340;
/// QNDUpdaterP2's compact client height is the bottom of "Abbruch" plus the status bar plus this.
inline constexpr int kDirCompactMargin = 40;

class UpdaterDialog : public platform::WindowEvents {
 public:
  /// The shell's windows belong to `window` while the dialog lives.
  UpdaterDialog(platform::UpdaterWindow& window, const platform::WindowDesign& design,
                Program program, platform::Platform services);
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

  /// Entered once, when the window is first shown.
  void EnterCompactMode();
  /// The first action of every run.
  void EnterExpandedMode();
  /// Runs `action`; any failure it raises (an unexpected platform failure, no memory, any other
  /// exception) is shown by the default handler, and the window stays as after any such failure.
  void RunGuarded(const std::function<void()>& action);

  platform::UpdaterWindow& window_;
  UpdaterState state_;
  ProgressLog log_;
  UpdaterContext context_;

 private:
  platform::WindowDesign design_;
  bool running_ = false;
  bool closeRequested_ = false;
};

}  // namespace qnd
