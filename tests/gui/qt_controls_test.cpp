// The Qt window's own behaviour, with a handler that only records: the order of FormShow and the
// first showing, which key presses which button, the ignored close, handler exceptions, the button
// images, the log pane, the status bar (also painted at once) and the busy cursor.
#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QStatusBar>
#include <QTest>
#include <QTextBlock>
#include <QTextEdit>

#include "dir_updater/haupt.h"
#include "platform/qt/button_images.h"
#include "platform/qt/main_window.h"
#include "tests/gui/qt_gui_support.h"

namespace qnd::test {
namespace {

using Calls = std::vector<std::string>;
using platform::qt::ButtonImage;

class QtControlsTest : public ::testing::Test {
 public:  // the tables' lambdas use the fixture
  QtControlsTest() {
    main_ = platform::qt::OpenMainWindow(
        dir::HauptDesign(), [this](platform::UpdaterWindow& w, const std::vector<std::string>&) {
          auto events = std::make_unique<RecordingEvents>(w);
          events_ = events.get();
          return events;
        });
    WaitUntilActive(Window());
  }

  platform::qt::UpdaterWidget& Window() { return *main_.window; }
  QPushButton& Abbruch() { return Find<QPushButton>(Window(), "BtAbbruch"); }
  QPushButton& Weiter() { return Find<QPushButton>(Window(), "BtWeiter"); }
  QTextEdit& LogPane() { return Find<QTextEdit>(Window(), "REd_Ergebnis"); }
  void ShowLogPane() {
    Window().SetLogPaneHeight(180);
    Window().SetLogPaneVisible(true);
  }

  platform::qt::MainWindow main_;
  RecordingEvents* events_ = nullptr;
};

TEST_F(QtControlsTest, FormShowRunsBeforeTheWindowIsFirstShown) {
  EXPECT_EQ(events_->calls, Calls{"FormShow"});
  EXPECT_FALSE(events_->visibleAtFormShow);
  EXPECT_TRUE(Window().isVisible());
}

TEST_F(QtControlsTest, KeysPressTheButtons) {
  const struct {
    const char* what;
    std::function<void(QtControlsTest&)> prepare;
    Qt::Key key;
    Calls calls;
  } cases[] = {
      {"Enter, Weiter focused",
       [](QtControlsTest& t) { t.Window().FocusWeiter(); },
       Qt::Key_Return,
       {"Weiter"}},
      {"Enter, Abbruch focused",
       [](QtControlsTest& t) { t.Abbruch().setFocus(); },
       Qt::Key_Return,
       {"Abbruch"}},
      {"Enter, log pane focused",
       [](QtControlsTest& t) {
         t.ShowLogPane();
         t.LogPane().setFocus();
       },
       Qt::Key_Return,
       {}},
      {"Enter, Weiter disabled while focused",
       [](QtControlsTest& t) {
         t.Window().FocusWeiter();
         t.Window().SetWeiterEnabled(false);
       },
       Qt::Key_Return,
       {}},
      {"Enter, Weiter enabled again",
       [](QtControlsTest& t) {
         t.Window().FocusWeiter();
         t.Window().SetWeiterEnabled(false);
         t.Window().SetWeiterEnabled(true);
       },
       Qt::Key_Enter,
       {"Weiter"}},
      {"Esc, Weiter focused",
       [](QtControlsTest& t) { t.Window().FocusWeiter(); },
       Qt::Key_Escape,
       {"Abbruch"}},
      {"Esc, log pane focused",
       [](QtControlsTest& t) {
         t.ShowLogPane();
         t.LogPane().setFocus();
       },
       Qt::Key_Escape,
       {"Abbruch"}},
      {"Esc, Weiter disabled",
       [](QtControlsTest& t) { t.Window().SetWeiterEnabled(false); },
       Qt::Key_Escape,
       {"Abbruch"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    Window().SetWeiterEnabled(true);
    Window().SetLogPaneVisible(false);
    events_->calls.clear();
    c.prepare(*this);
    PressKey(Window(), c.key);
    EXPECT_EQ(events_->calls, c.calls);
  }
}

TEST_F(QtControlsTest, DisablingTheFocusedWeiterGivesTheFocusToNoOtherControl) {
  for (const bool logPaneShown : {false, true}) {
    SCOPED_TRACE(logPaneShown ? "log pane shown" : "log pane hidden");
    ShowLogPane();
    Window().SetLogPaneVisible(logPaneShown);
    Window().SetWeiterEnabled(true);
    Window().FocusWeiter();
    Window().SetWeiterEnabled(false);
    EXPECT_FALSE(Weiter().isEnabled());
    EXPECT_NE(QApplication::focusWidget(), &Abbruch());
    EXPECT_NE(QApplication::focusWidget(), &LogPane());
  }
}

TEST_F(QtControlsTest, ClosingIsReportedAndLeftToTheHandler) {
  EXPECT_FALSE(Window().close());
  EXPECT_TRUE(Window().isVisible());
  EXPECT_EQ(events_->calls, (Calls{"FormShow", "Close"}));
}

// Only a failure of the default handler itself escapes the handler; whatever it is, the box names
// no kind, as on Windows.
TEST_F(QtControlsTest, AnExceptionOfTheHandlerEndsInAnErrorBox) {
  events_->throwOnWeiter = true;
  std::string shown;
  WhenModalBoxOpens([&shown](QMessageBox& box) {
    shown = Describe(box);
    box.buttons().front()->click();
  });
  QTest::mouseClick(&Weiter(), Qt::LeftButton);
  EXPECT_EQ(shown, "Quendra Updater: Ein unerwarteter Fehler ist aufgetreten. [error] [OK*]");
  EXPECT_TRUE(Window().isVisible());
}

TEST_F(QtControlsTest, ImagesRightOfTheCaption) {
  const struct {
    const char* what;
    bool weiter;
    bool enabled;
    ButtonImage image;
  } cases[] = {
      {"Abbruch", false, true, ButtonImage::Cancel},
      {"Weiter", true, true, ButtonImage::Forward},
      {"Weiter disabled", true, false, ButtonImage::ForwardGreyed},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    Window().SetWeiterEnabled(c.enabled);
    QPushButton& button = c.weiter ? Weiter() : Abbruch();
    const QImage shown = button.grab().toImage();
    const QImage image = platform::qt::DrawButtonImage(c.image).toImage();
    // 4 pixels from the right edge, centred vertically.
    const QPoint at(platform::kButtonWidth - 4 - 16, (platform::kButtonHeight - 16) / 2);
    int drawn = 0, differing = 0;
    for (int y = 0; y < image.height(); ++y) {
      for (int x = 0; x < image.width(); ++x) {
        if (image.pixelColor(x, y).alpha() != 255) continue;
        ++drawn;
        if (shown.pixelColor(at + QPoint(x, y)).rgb() != image.pixelColor(x, y).rgb()) ++differing;
      }
    }
    EXPECT_GT(drawn, 20);
    EXPECT_EQ(differing, 0);
  }
  EXPECT_NE(platform::qt::DrawButtonImage(ButtonImage::Forward).toImage(),
            platform::qt::DrawButtonImage(ButtonImage::ForwardGreyed).toImage());
}

// Counts the paintings of a control.
class PaintCounter : public QObject {
 public:
  explicit PaintCounter(QWidget& control) { control.installEventFilter(this); }
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::Paint) ++paints;
    return false;
  }
  int paints = 0;
};

TEST_F(QtControlsTest, AppendedLineIsShownBeforeTheRunGoesOn) {
  ShowLogPane();
  QCoreApplication::processEvents();
  for (int i = 0; i < 40; ++i) Window().AppendLogLine("Zeile " + std::to_string(i));
  PaintCounter counter(*LogPane().viewport());
  Window().AppendLogLine("<b>Sicherung - OK</b>");
  Window().ProcessPendingEvents();

  EXPECT_GT(counter.paints, 0);
  const QTextBlock last = LogPane().document()->lastBlock();
  EXPECT_EQ(last.text().toStdString(), "<b>Sicherung - OK</b>");
  EXPECT_EQ(LogPane().document()->blockCount(), 41);
  QTextCursor atLast(last);
  EXPECT_GT(LogPane().verticalScrollBar()->value(), 0);
  EXPECT_TRUE(LogPane().viewport()->rect().contains(LogPane().cursorRect(atLast)));
}

TEST_F(QtControlsTest, LogLinesAfterClearing) {
  Window().AppendLogLine("alt");
  Window().ClearLog();
  Window().AppendLogLine("");
  Window().AppendLogLine("eins");
  Window().AppendLogLine("");
  Window().AppendLogLine("Fächer");
  EXPECT_EQ(LogPane().toPlainText().toStdString(), "\neins\n\nFächer");
}

TEST_F(QtControlsTest, ControlsAsDesigned) {
  EXPECT_EQ(Window().font().family(), "Tahoma");
  EXPECT_EQ(Window().font().pointSize(), 8);
  EXPECT_EQ(LogPane().font().pointSize(), 8);
  EXPECT_EQ(Weiter().font().family(), "Tahoma");
  EXPECT_EQ(Weiter().font().pointSize(), 10);
  EXPECT_EQ(LogPane().verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
  EXPECT_FALSE(LogPane().isReadOnly());

  Window().SetStatusText("Sicherung läuft");
  auto* panel = Find<QStatusBar>(Window(), "SBStatus").findChild<QLabel*>();
  ASSERT_NE(panel, nullptr);
  EXPECT_EQ(panel->text().toStdString(), "Sicherung läuft");
  EXPECT_EQ(panel->width(), platform::kStatusPanelWidth);
}

// The archive's progress appears at once, while nothing queued for the window is handled: neither
// input nor anything else waiting in the event queue.
TEST_F(QtControlsTest, PaintedStatusTextAppearsWithoutHandlingEvents) {
  auto* panel = Find<QStatusBar>(Window(), "SBStatus").findChild<QLabel*>();
  ASSERT_NE(panel, nullptr);
  QApplication::processEvents();
  PaintCounter counter(*panel);
  bool queuedRan = false;
  QMetaObject::invokeMethod(
      &Window(), [&queuedRan] { queuedRan = true; }, Qt::QueuedConnection);

  Window().PaintStatusText("Die vorherige Quendra Installation wird gesichert ... 42 %");

  EXPECT_EQ(panel->text().toStdString(),
            "Die vorherige Quendra Installation wird gesichert ... 42 %");
  EXPECT_GE(counter.paints, 1);
  EXPECT_FALSE(queuedRan);
  QApplication::processEvents();
  EXPECT_TRUE(queuedRan);
}

TEST_F(QtControlsTest, BusyCursorUntilRestored) {
  Window().ShowBusyCursor();
  ASSERT_NE(QApplication::overrideCursor(), nullptr);
  EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
  Window().RestoreCursor();
  EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

}  // namespace
}  // namespace qnd::test
