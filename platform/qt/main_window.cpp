#include "platform/qt/main_window.h"

namespace qnd::platform::qt {

MainWindow OpenMainWindow(const WindowDesign& design, const FormCreateFunction& formCreate,
                          const std::vector<std::string>& arguments) {
  MainWindow main;
  main.window = std::make_unique<UpdaterWidget>(design);
  main.events = formCreate(*main.window, arguments);
  main.window->SetEvents(main.events.get());
  main.window->Deliver(&WindowEvents::FormShow);
  main.window->show();
  return main;
}

}  // namespace qnd::platform::qt
