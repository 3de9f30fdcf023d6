// QNDUpdater's main window: its design (window properties and the sizes of compact and expanded
// mode), FormShow and the local run.
#pragma once

#include "core/dialog_model.h"
#include "platform/platform.h"
#include "platform/ui.h"

namespace qnd::local {

/// QNDUpdater's window as designed: "Quendra-Updater", 389 x 311, centred on the primary screen, a
/// fixed dialog frame without title-bar buttons.
platform::WindowDesign HauptDesign();

/// The window's outer heights, frame included: compact before the run, expanded (with the log pane)
/// during it.
inline constexpr int kCompactOuterHeight = 170;
inline constexpr int kExpandedOuterHeight = 340;

class TFHaupt : public UpdaterDialog {
 public:
  TFHaupt(platform::UpdaterWindow& window, platform::Platform services);
  void FormShow() override;

 protected:
  void Verarbeite() override;

 private:
  void SizeCompactMode() override;
  void SizeExpandedMode() override;
};

}  // namespace qnd::local
