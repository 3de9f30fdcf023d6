// QNDUpdaterP2: prepares the installation in the directory named on the command line for the update
// to release 9.
#include <memory>

#include "dir_updater/haupt.h"
#include "dir_updater/old_install_archive.h"
#include "dir_updater/target_dir.h"

int main(int argc, char** argv) {
  return qnd::platform::RunUpdaterApplication(
      argc, argv, qnd::dir::HauptDesign(),
      [](qnd::platform::UpdaterWindow& window, const std::vector<std::string>& arguments) {
        return std::make_unique<qnd::dir::TFHaupt>(window, qnd::platform::SystemPlatform(),
                                                   qnd::dir::ProgramArguments(arguments),
                                                   qnd::dir::SaveQNDInst);
      });
}
