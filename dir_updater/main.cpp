// QNDUpdaterP2: prepares the installation in the directory named on the command line for the update
// to release 9.
#include <memory>

#include "dir_updater/haupt.h"
#include "dir_updater/old_install_archive.h"
#include "dir_updater/target_dir.h"

int main(int argc, char** argv) {
  const std::vector<std::string> arguments = qnd::dir::ProgramArguments(argc, argv);
  return qnd::platform::RunUpdaterApplication(
      argc, argv, qnd::dir::HauptDesign(), [&arguments](qnd::platform::UpdaterWindow& window) {
        return std::make_unique<qnd::dir::TFHaupt>(window, qnd::platform::SystemPlatform(),
                                                   arguments, qnd::dir::SaveQNDInst);
      });
}
