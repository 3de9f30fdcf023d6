// QNDUpdaterP2's main window: its window properties, FormCreate, the version gate in FormShow and
// the directory run.
#pragma once

#include "core/dialog_model.h"
#include "platform/platform.h"
#include "platform/ui.h"

namespace qnd::dir {

/// QNDUpdaterP2's window as designed: "Quendra Updater", 387 x 301, centred on the whole desktop,
/// a resizable frame with the standard title-bar buttons.
platform::WindowDesign HauptDesign();

class TFHaupt : public UpdaterDialog {
 public:
  TFHaupt(platform::UpdaterWindow& window, platform::Platform services);
  void FormShow() override;

 protected:
  void Verarbeite() override;
};

}  // namespace qnd::dir
