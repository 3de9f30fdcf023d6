#include "tests/gui/qt_program_window.h"

#include <QPushButton>

#include "core/data_paths.h"
#include "dir_updater/haupt.h"
#include "local_updater/haupt.h"
#include "tests/gui/qt_gui_support.h"

namespace qnd::test {

ProgramWindow::ProgramWindow(Program program) : program_(program), installation_(dir_) {
  registry_.SetString(kShellFoldersKey, "Common AppData", dir_ / "ProgramData");
}

void ProgramWindow::Open(bool confirm) {
  platform::Platform services = platform::SystemPlatform();
  services.registry = &registry_;
  services.process = &process_;
  if (program_ == Program::LocalUpdater) {
    main_ = platform::qt::OpenMainWindow(
        local::HauptDesign(),
        [services](platform::UpdaterWindow& window, const std::vector<std::string>&) {
          return std::make_unique<local::TFHaupt>(window, services);
        });
  } else {
    WhenModalBoxOpens([confirm](QMessageBox& box) {
      for (QAbstractButton* button : box.buttons()) {
        if (button->text() == (confirm ? "&Ja" : "&Nein")) button->click();
      }
    });
    const std::vector<std::string> arguments = {"QNDUpdaterP2", installation_.installDir};
    main_ = platform::qt::OpenMainWindow(
        dir::HauptDesign(),
        [services, arguments](platform::UpdaterWindow& window, const std::vector<std::string>&) {
          return std::make_unique<dir::TFHaupt>(
              window, services, arguments,
              [](UpdaterContext&, platform::UpdaterWindow&) { return kStatusOk; });
        });
  }
  WaitUntilActive(*main_.window);
}

}  // namespace qnd::test
