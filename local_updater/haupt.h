// QNDUpdater's main window: its window properties, FormShow and the local run.
#pragma once

#include "core/dialog_model.h"
#include "platform/platform.h"
#include "platform/ui.h"

namespace qnd::local {

/// QNDUpdater's window as designed: "Quendra-Updater", 389 x 311, centred on the primary screen, a
/// fixed dialog frame without title-bar buttons.
platform::WindowDesign HauptDesign();

class TFHaupt : public UpdaterDialog {
 public:
  TFHaupt(platform::UpdaterWindow& window, platform::Platform services);
  void FormShow() override;

 protected:
  void Verarbeite() override;
};

}  // namespace qnd::local
