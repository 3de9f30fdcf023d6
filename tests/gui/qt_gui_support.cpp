#include "tests/gui/qt_gui_support.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QPushButton>
#include <QStatusBar>
#include <QTest>
#include <QTextEdit>
#include <QTimer>
#include <stdexcept>

namespace qnd::test {
namespace {

std::string Geometry(const QWidget& control) {
  const QRect r = control.geometry();
  return std::to_string(r.x()) + "," + std::to_string(r.y()) + " " + std::to_string(r.width()) +
         "x" + std::to_string(r.height());
}

std::string Button(QWidget& window, const char* name, const char* caption) {
  const auto& button = Find<QPushButton>(window, name);
  return std::string(", ") + caption + " " + Geometry(button) +
         (button.isEnabled() ? "" : " disabled");
}

}  // namespace

void WaitUntilActive(QWidget& window) {
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
  window.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
}

void PressKey(QWidget& window, Qt::Key key) { QTest::keyClick(window.windowHandle(), key); }

void WhenModalBoxOpens(std::function<void(QMessageBox& box)> answer) {
  auto* poll = new QTimer(qApp);
  QObject::connect(poll, &QTimer::timeout, poll, [poll, answer = std::move(answer)] {
    QWidget* modal = QApplication::activeModalWidget();
    if (modal == nullptr || !modal->isVisible()) return;
    poll->stop();
    poll->deleteLater();
    if (auto* box = qobject_cast<QMessageBox*>(modal)) {
      answer(*box);
    } else {
      ADD_FAILURE() << "a modal window that is no message box";
      modal->close();
    }
  });
  poll->start(1);
}

std::string Describe(const QMessageBox& box) {
  std::string text = box.windowTitle().toStdString() + ": " + box.text().toStdString();
  switch (box.icon()) {
    case QMessageBox::Critical:
      text += " [error]";
      break;
    case QMessageBox::Question:
      text += " [question]";
      break;
    default:
      text += " [other icon]";
      break;
  }
  for (QAbstractButton* button : box.buttons()) {
    text += " [" + button->text().toStdString() + (button == box.defaultButton() ? "*]" : "]");
  }
  return text;
}

std::string Layout(QWidget& window) {
  const auto& log = Find<QTextEdit>(window, "REd_Ergebnis");
  return "client " + std::to_string(window.width()) + "x" + std::to_string(window.height()) +
         ", outer height " + std::to_string(window.frameGeometry().height()) + ", log pane " +
         (log.isVisible() ? "shown " + Geometry(log) : std::string("hidden")) + ", status bar " +
         Geometry(Find<QStatusBar>(window, "SBStatus")) + Button(window, "BtAbbruch", "Abbruch") +
         Button(window, "BtWeiter", "Weiter");
}

void RecordingEvents::FormShow() {
  calls.push_back("FormShow");
  visibleAtFormShow = dynamic_cast<QWidget&>(window_).isVisible();
}

void RecordingEvents::BtWeiterClick() {
  calls.push_back("Weiter");
  if (throwOnWeiter) throw std::runtime_error("Weiter ging schief");
}

}  // namespace qnd::test
