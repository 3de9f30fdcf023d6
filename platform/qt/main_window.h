// The program's main window with its handler, opened the way the application starts it: created
// from the design, the handler made by the program, FormShow, then shown.
#pragma once

#include <memory>

#include "platform/qt/updater_window.h"
#include "platform/ui.h"

namespace qnd::platform::qt {

struct MainWindow {
  std::unique_ptr<UpdaterWidget> window;
  // Declared after the window: the handler refers to the window and goes first.
  std::unique_ptr<WindowEvents> events;
};

/// Needs the QApplication to exist. FormShow runs before the window is first shown; the window is
/// centred when it is shown, with the size FormShow left it. `arguments` go to `formCreate`.
MainWindow OpenMainWindow(const WindowDesign& design, const FormCreateFunction& formCreate,
                          const std::vector<std::string>& arguments = {});

}  // namespace qnd::platform::qt
