#include "platform/qt/updater_window.h"

#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QScreen>
#include <QShortcut>
#include <QStatusBar>
#include <QTextCursor>
#include <QTextEdit>
#include <exception>

#include "platform/process.h"
#include "platform/qt/button_images.h"
#include "platform/qt/image_button.h"
#include "platform/qt/message_boxes.h"

namespace qnd::platform::qt {
namespace {

QFont Tahoma(int pointSize) {
  QFont font(QStringLiteral("Tahoma"));
  font.setPointSize(pointSize);
  return font;
}

}  // namespace

UpdaterWidget::UpdaterWidget(const WindowDesign& design) : design_(design) {
  setWindowTitle(QString::fromStdString(design.caption));
  setFont(Tahoma(8));
  if (!design.resizable) {
    // A title bar without any buttons; the size is fixed in SetClientSize.
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
  }

  abbruch_ = new ImageButton(QStringLiteral("Abbruch"), DrawButtonImage(ButtonImage::Cancel),
                             DrawButtonImage(ButtonImage::Cancel), this);
  weiter_ = new ImageButton(QStringLiteral("Weiter"), DrawButtonImage(ButtonImage::Forward),
                            DrawButtonImage(ButtonImage::ForwardGreyed), this);
  abbruch_->setObjectName(QStringLiteral("BtAbbruch"));
  weiter_->setObjectName(QStringLiteral("BtWeiter"));
  for (QPushButton* button : {abbruch_, weiter_}) {
    button->setFont(Tahoma(10));
    button->setFixedSize(kButtonWidth, kButtonHeight);
    // As in a Windows dialog, Enter presses the focused button.
    button->setAutoDefault(true);
  }
  weiter_->setDefault(true);
  connect(abbruch_, &QPushButton::clicked, this,
          [this] { Deliver(&WindowEvents::BtAbbruchClick); });
  connect(weiter_, &QPushButton::clicked, this, [this] { Deliver(&WindowEvents::BtWeiterClick); });
  // Esc is the cancel button's key wherever the focus is in the window.
  auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
  connect(escape, &QShortcut::activated, abbruch_, &QPushButton::click);

  log_ = new QTextEdit(this);
  log_->setObjectName(QStringLiteral("REd_Ergebnis"));
  log_->setFont(Tahoma(8));
  log_->setAcceptRichText(true);
  log_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);

  statusBar_ = new QStatusBar(this);
  statusBar_->setObjectName(QStringLiteral("SBStatus"));
  statusBar_->setFixedHeight(kStatusBarHeight);
  statusBar_->setSizeGripEnabled(design.resizable);
  statusPanel_ = new QLabel(statusBar_);
  statusPanel_->setFixedWidth(kStatusPanelWidth);
  statusBar_->addWidget(statusPanel_);

  SetClientSize(design.clientWidth, design.clientHeight);
}

void UpdaterWidget::Deliver(void (WindowEvents::*event)()) {
  if (events_ == nullptr) return;
  try {
    (events_->*event)();
  } catch (...) {
    // Only a failure of the default handler itself comes here.
    ShowErrorBox(design_.caption, design_.escapedFailureText);
  }
}

void UpdaterWidget::AppendLogLine(const std::string& text) {
  QTextCursor cursor(log_->document());
  cursor.movePosition(QTextCursor::End);
  if (logHasLines_) cursor.insertBlock();
  // A line is plain text, whatever characters it holds.
  cursor.insertText(QString::fromStdString(text));
  logHasLines_ = true;
  log_->setTextCursor(cursor);
  log_->ensureCursorVisible();
}

void UpdaterWidget::SetStatusText(const std::string& text) {
  statusPanel_->setText(QString::fromStdString(text));
}

void UpdaterWidget::PaintStatusText(const std::string& text) {
  SetStatusText(text);
  statusPanel_->repaint();
}

void UpdaterWidget::ShowErrorBox(const std::string& title, const std::string& text) {
  qt::ShowErrorBox(this, title, text);
}

bool UpdaterWidget::AskYesNo(const std::string& title, const std::string& text) {
  return qt::AskYesNo(this, title, text);
}

void UpdaterWidget::ProcessPendingEvents() {
  QCoreApplication::processEvents();
  // Painting requests can still wait in the queue behind what was just handled; the pause that
  // often follows processes nothing, so the window is brought up to date now.
  if (isVisible()) repaint();
}

void UpdaterWidget::Pause(int milliseconds) { SleepMilliseconds(milliseconds); }

void UpdaterWidget::EndProcess(int code) { EndProcessNow(code); }

void UpdaterWidget::BringToFront() {
  raise();
  activateWindow();
}

void UpdaterWidget::ClearLog() {
  log_->clear();
  logHasLines_ = false;
}

void UpdaterWidget::SetLogPaneVisible(bool visible) {
  log_->setVisible(visible);
  ArrangeControls();
}

void UpdaterWidget::SetLogPaneHeight(int height) {
  logHeight_ = height;
  ArrangeControls();
}

void UpdaterWidget::SetOuterHeight(int height) {
  outerHeight_ = height;
  ApplyOuterHeight();
}

void UpdaterWidget::SetClientHeight(int height) {
  outerHeight_.reset();
  SetClientSize(width(), height);
}

int UpdaterWidget::ClientHeight() { return height(); }

void UpdaterWidget::FocusWeiter() { weiter_->setFocus(Qt::OtherFocusReason); }

void UpdaterWidget::SetWeiterEnabled(bool enabled) {
  // Qt hands the focus of a button being disabled on to the next control, "Abbruch" or the log
  // pane, where Enter during the run would cancel it or type into the pane. The window keeps it
  // instead.
  if (!enabled && weiter_->hasFocus()) setFocus(Qt::OtherFocusReason);
  weiter_->setEnabled(enabled);
}

void UpdaterWidget::ShowBusyCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }

void UpdaterWidget::RestoreCursor() { QApplication::restoreOverrideCursor(); }

void UpdaterWidget::closeEvent(QCloseEvent* event) {
  // The handler decides whether the program ends; the window itself never closes.
  event->ignore();
  Deliver(&WindowEvents::CloseRequested);
}

void UpdaterWidget::keyPressEvent(QKeyEvent* event) {
  // Enter reaches the window only when neither a button nor the log pane has the focus; it presses
  // the default button then.
  if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
    weiter_->click();
    event->accept();
    return;
  }
  QWidget::keyPressEvent(event);
}

void UpdaterWidget::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  ArrangeControls();
}

void UpdaterWidget::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  ApplyOuterHeight();
  // Placed once, when first shown: with the size FormShow has given the window.
  if (!placed_) PlaceOnScreen();
  placed_ = true;
}

void UpdaterWidget::moveEvent(QMoveEvent* event) {
  QWidget::moveEvent(event);
  // A window manager that puts its frame around the window moves the client area.
  ApplyOuterHeight();
}

void UpdaterWidget::SetClientSize(int width, int height) {
  if (design_.resizable) {
    resize(width, height);
  } else {
    setFixedSize(width, height);
  }
  clientHeightSet_ = height;
  ArrangeControls();
}

void UpdaterWidget::ApplyOuterHeight() {
  if (!outerHeight_ || height() != clientHeightSet_) return;
  const int frameHeight = frameGeometry().height() - geometry().height();
  if (height() + frameHeight != *outerHeight_) SetClientSize(width(), *outerHeight_ - frameHeight);
}

void UpdaterWidget::PlaceOnScreen() {
  QScreen* screen = QGuiApplication::primaryScreen();
  if (screen == nullptr) return;
  const QRect area = design_.placement == Placement::CenterDesktop ? screen->virtualGeometry()
                                                                   : screen->geometry();
  // Where the frame is not known yet, the client size stands in for the outer size.
  const QSize outer = frameGeometry().size();
  move(area.x() + (area.width() - outer.width()) / 2,
       area.y() + (area.height() - outer.height()) / 2);
}

void UpdaterWidget::ArrangeControls() {
  // The buttons keep the distance to the right edge that the design gives them.
  abbruch_->move(width() - (design_.clientWidth - design_.abbruchLeft), design_.abbruchTop);
  weiter_->move(width() - (design_.clientWidth - design_.weiterLeft), design_.weiterTop);
  const int statusTop = height() - kStatusBarHeight;
  statusBar_->setGeometry(0, statusTop, width(), kStatusBarHeight);
  log_->setGeometry(0, statusTop - logHeight_, width(), logHeight_);
}

}  // namespace qnd::platform::qt
