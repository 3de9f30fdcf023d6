// The updater window on Qt: "Abbruch" and "Weiter" at the program's positions, keeping their
// distance to the right edge, and the log pane above the status bar, both at the bottom over the
// full width. The controls carry the names of the Win32 dialog's controls as object names:
// BtAbbruch, BtWeiter, REd_Ergebnis, SBStatus.
#pragma once

#include <QWidget>
#include <optional>

#include "platform/ui.h"

class QLabel;
class QPushButton;
class QStatusBar;
class QTextEdit;

namespace qnd::platform::qt {

class UpdaterWidget final : public QWidget, public UpdaterWindow {
 public:
  explicit UpdaterWidget(const WindowDesign& design);

  /// Where the window reports clicks, keys and close requests; null reports nothing.
  void SetEvents(WindowEvents* events) { events_ = events; }
  /// Calls `event` on the handler; a C++ exception it raises ends in an error box here, so none
  /// crosses Qt's event delivery.
  void Deliver(void (WindowEvents::*event)());

  void AppendLogLine(const std::string& text) override;
  void SetStatusText(const std::string& text) override;
  void PaintStatusText(const std::string& text) override;
  void ShowErrorBox(const std::string& title, const std::string& text) override;
  bool AskYesNo(const std::string& title, const std::string& text) override;
  void ProcessPendingEvents() override;
  void Pause(int milliseconds) override;
  [[noreturn]] void EndProcess(int code) override;

  void BringToFront() override;
  void ClearLog() override;
  void SetLogPaneVisible(bool visible) override;
  void SetLogPaneHeight(int height) override;
  void SetOuterHeight(int height) override;
  void SetClientHeight(int height) override;
  int ClientHeight() override;
  void FocusWeiter() override;
  void SetWeiterEnabled(bool enabled) override;
  /// Linux's shell shows no windows of its own; the widget stands for the window.
  void* NativeHandle() override { return this; }
  void ShowBusyCursor() override;
  void RestoreCursor() override;

 protected:
  void closeEvent(QCloseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void showEvent(QShowEvent* event) override;
  void moveEvent(QMoveEvent* event) override;

 private:
  void SetClientSize(int width, int height);
  void ApplyOuterHeight();
  void PlaceOnScreen();
  void ArrangeControls();

  WindowDesign design_;
  WindowEvents* events_ = nullptr;
  QPushButton* abbruch_;
  QPushButton* weiter_;
  QTextEdit* log_;
  QStatusBar* statusBar_;
  QLabel* statusPanel_;
  int logHeight_ = 0;
  // The frame is known only once the window system has put one around the window, which may be
  // after the window is first shown. An outer height asked for is applied again as the frame
  // becomes known, as long as nobody else has changed the height meanwhile.
  std::optional<int> outerHeight_;
  int clientHeightSet_ = 0;
  bool placed_ = false;
  // AppendLogLine starts a new line unless nothing was appended since the pane was last cleared.
  bool logHasLines_ = false;
};

}  // namespace qnd::platform::qt
