// QNDUpdaterP2: prepares the installation in the directory named on the command line for the update
// to release 9.
#include <memory>

#include "dir_updater/haupt.h"

int main(int argc, char** argv) {
  return qnd::platform::RunUpdaterApplication(
      argc, argv, qnd::dir::HauptDesign(), [](qnd::platform::UpdaterWindow& window) {
        return std::make_unique<qnd::dir::TFHaupt>(window, qnd::platform::SystemPlatform());
      });
}
