// RunUpdaterApplication on Qt: the application object, the main window as its only top-level
// window, and the event loop, which the handler leaves by ending the process.
#include <QApplication>

#include "platform/qt/main_window.h"
#include "platform/ui.h"

namespace qnd::platform {

int RunUpdaterApplication(int argc, char** argv, const WindowDesign& design,
                          const FormCreateFunction& formCreate) {
  // QApplication keeps a reference to argc, which lives as long as it does here. It takes its own
  // options (-platform, -style, ...) out of argc and argv; the program gets what is left.
  QApplication application(argc, argv);
  const qt::MainWindow main =
      qt::OpenMainWindow(design, formCreate, std::vector<std::string>(argv, argv + argc));
  return QApplication::exec();
}

}  // namespace qnd::platform
