#include "local_updater/haupt.h"

#include "core/default_failure_handler.h"
#include "local_updater/local_run.h"

namespace qnd::local {

platform::WindowDesign HauptDesign() {
  platform::WindowDesign design;
  design.caption = "Quendra-Updater";
  design.clientWidth = 389;
  design.clientHeight = 311;
  design.placement = platform::Placement::CenterPrimaryScreen;
  design.resizable = false;
  design.abbruchLeft = 208;
  design.abbruchTop = 55;
  design.weiterLeft = 299;
  design.weiterTop = 55;
  design.escapedFailureText = EscapedFailureText();
  return design;
}

TFHaupt::TFHaupt(platform::UpdaterWindow& window, platform::Platform services)
    : UpdaterDialog(window, Program::LocalUpdater, services) {}

void TFHaupt::FormShow() {
  RunGuarded([this] { EnterCompactMode(); });
}

void TFHaupt::Verarbeite() {
  EnterExpandedMode();
  RunLocalUpdate(context_);
}

void TFHaupt::SizeCompactMode() { window_.SetOuterHeight(kCompactOuterHeight); }

void TFHaupt::SizeExpandedMode() {
  window_.SetOuterHeight(kExpandedOuterHeight);
  window_.SetLogPaneHeight(kLogPaneHeight);
}

}  // namespace qnd::local
