#include "dir_updater/haupt.h"

#include "core/default_failure_handler.h"
#include "dir_updater/dir_run.h"
#include "dir_updater/target_dir.h"
#include "dir_updater/version_gate.h"

namespace qnd::dir {

platform::WindowDesign HauptDesign() {
  platform::WindowDesign design;
  design.caption = "Quendra Updater";
  design.clientWidth = 387;
  design.clientHeight = 301;
  design.placement = platform::Placement::CenterDesktop;
  design.resizable = true;
  design.abbruchLeft = 209;
  design.abbruchTop = 50;
  design.weiterLeft = 295;
  design.weiterTop = 50;
  design.escapedFailureText = EscapedFailureText();
  return design;
}

TFHaupt::TFHaupt(platform::UpdaterWindow& window, platform::Platform services,
                 const std::vector<std::string>& arguments, SaveFunction saveOldInstallation)
    : UpdaterDialog(window, Program::DirUpdater, services),
      saveOldInstallation_(std::move(saveOldInstallation)) {
  state_.TargetDir = CanonicalTargetDir(TargetDirFromArguments(arguments));
}

void TFHaupt::FormShow() {
  RunGuarded([this] {
    RunVersionGate(context_);
    EnterCompactMode();
  });
}

void TFHaupt::Verarbeite() {
  EnterExpandedMode();
  RunDirectoryUpdate(context_, [this] { return saveOldInstallation_(context_, window_); });
}

void TFHaupt::SizeCompactMode() {
  window_.SetClientHeight(HauptDesign().abbruchTop + platform::kButtonHeight +
                          platform::kStatusBarHeight + kCompactMargin);
  state_.CompactClientHeight = window_.ClientHeight();
}

void TFHaupt::SizeExpandedMode() {
  window_.SetLogPaneHeight(kLogPaneHeight);
  window_.SetClientHeight(state_.CompactClientHeight + kLogPaneHeight);
}

}  // namespace qnd::dir
