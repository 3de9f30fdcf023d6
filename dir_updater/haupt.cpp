#include "dir_updater/haupt.h"

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
  return design;
}

TFHaupt::TFHaupt(platform::UpdaterWindow& window, platform::Platform services)
    : UpdaterDialog(window, HauptDesign(), Program::DirUpdater, services) {}

void TFHaupt::FormShow() {
  RunGuarded([this] { EnterCompactMode(); });
}

void TFHaupt::Verarbeite() { EnterExpandedMode(); }

}  // namespace qnd::dir
