// What the Qt window tests share: finding the controls, keys through the window system, answering
// the next modal box, a layout summary to compare, and a handler that records the window's events.
#pragma once

#include <QMessageBox>
#include <QWidget>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/qt/updater_window.h"
#include "platform/ui.h"

namespace qnd::test {

/// The window's control named `name` (BtAbbruch, BtWeiter, REd_Ergebnis, SBStatus); throws, and so
/// fails the test, when there is none.
template <typename Control>
Control& Find(QWidget& window, const char* name) {
  auto* control = window.findChild<Control*>(QString::fromLatin1(name));
  if (control == nullptr) throw std::runtime_error(std::string("no control ") + name);
  return *control;
}

/// Waits until the window is shown and active, as after a user started the program.
void WaitUntilActive(QWidget& window);

/// Presses `key` as the window system delivers it: to the focused control, shortcuts first.
void PressKey(QWidget& window, Qt::Key key);

/// Calls `answer` once the next modal message box is open, from inside its event loop; `answer`
/// must close the box.
void WhenModalBoxOpens(std::function<void(QMessageBox& box)> answer);

/// "Title: text" of a box, its icon and its buttons' captions, the default one marked with "*".
std::string Describe(const QMessageBox& box);

/// The client size, the outer height and every control's geometry, in one line:
/// "client 387x134, outer height 134, log pane hidden, status bar 0,115 387x19, Abbruch 209,50
/// 85x25, Weiter 295,50 85x25" (" disabled" after a disabled button).
std::string Layout(QWidget& window);

/// A handler that records the window's events by name; "Weiter" may throw.
class RecordingEvents : public platform::WindowEvents {
 public:
  explicit RecordingEvents(platform::UpdaterWindow& window) : window_(window) {}
  void FormShow() override;
  void BtWeiterClick() override;
  void BtAbbruchClick() override { calls.push_back("Abbruch"); }
  void CloseRequested() override { calls.push_back("Close"); }

  std::vector<std::string> calls;
  bool visibleAtFormShow = true;
  bool throwOnWeiter = false;

 private:
  platform::UpdaterWindow& window_;
};

}  // namespace qnd::test
