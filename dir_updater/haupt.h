// QNDUpdaterP2's main window: its design (window properties and the sizes of compact and expanded
// mode), FormCreate (the target directory from the command line), the version gate in FormShow and
// the directory run.
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

/// The compact client height is the bottom of "Abbruch" plus the status bar plus this margin; the
/// expanded one adds the log pane to the compact height read back.
inline constexpr int kCompactMargin = 40;

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
  /// Stores the client height the window took as CompactClientHeight: a window that cannot become
  /// as small as asked keeps its own height, and the expanded size builds on that.
  void SizeCompactMode() override;
  void SizeExpandedMode() override;

  SaveFunction saveOldInstallation_;
};

}  // namespace qnd::dir
