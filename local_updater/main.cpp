// QNDUpdater: prepares the installation that the installer made on this PC for the update to
// release 9.
#include <memory>

#include "local_updater/haupt.h"

int main(int argc, char** argv) {
  return qnd::platform::RunUpdaterApplication(
      argc, argv, qnd::local::HauptDesign(),
      [](qnd::platform::UpdaterWindow& window, const std::vector<std::string>&) {
        return std::make_unique<qnd::local::TFHaupt>(window, qnd::platform::SystemPlatform());
      });
}
