// QNDUpdaterP2's main window: its window properties, FormCreate (the target directory from the
// command line), the version gate in FormShow and the directory run.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "core/dialog_model.h"
#include "core/status.h"
#include "platform/platform.h"
#include "platform/ui.h"

namespace qnd::dir {

/// QNDUpdaterP2's window as designed: "Quendra Updater", 387 x 301, centred on the whole desktop,
/// a resizable frame with the standard title-bar buttons.
platform::WindowDesign HauptDesign();

/// Archives and empties the installation directory; 0 for success.
using SaveFunction = std::function<Status(UpdaterContext&, platform::UpdaterWindow&)>;

class TFHaupt : public UpdaterDialog {
 public:
  /// FormCreate: `arguments` are the program's arguments, the program itself first.
  TFHaupt(platform::UpdaterWindow& window, platform::Platform services,
          const std::vector<std::string>& arguments, SaveFunction saveOldInstallation);
  void FormShow() override;

 protected:
  void Verarbeite() override;

 private:
  SaveFunction saveOldInstallation_;
};

}  // namespace qnd::dir
