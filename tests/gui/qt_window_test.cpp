// Both programs' windows on Qt, driven by their own TFHaupt: compact mode when shown, the expanded
// window of a run, the right-anchored buttons, the placement and how the window ends the process.
// Qt's offscreen platform puts a frame of 2 pixels around a window, so an outer height of 170
// leaves a client height of 166.
#include <gtest/gtest.h>

#include <QApplication>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QTimer>
#include <cstdlib>
#include <iostream>

#include "tests/gui/qt_gui_support.h"
#include "tests/gui/qt_program_window.h"
#include "tests/support/scoped_variable.h"

namespace qnd::test {
namespace {

const char* Name(Program program) {
  return program == Program::LocalUpdater ? "QNDUpdater" : "QNDUpdaterP2";
}

// The child processes of the death tests end without removing their temporary folders; they make
// them inside one of the parent's, which the parent removes.
class QtProgramWindowDeathTest : public ::testing::Test {
 protected:
  TempDir scratch_;
  ScopedVariable temporaryFolder_{TemporaryFolderVariable(), scratch_.Path()};
};

TEST(QtProgramWindowTest, CompactWhenShown) {
  const struct {
    Program program;
    const char* caption;
    const char* layout;
    bool resizable;
  } cases[] = {
      {Program::LocalUpdater, "Quendra-Updater",
       "client 389x166, outer height 170, log pane hidden, status bar 0,147 389x19, "
       "Abbruch 208,55 85x25, Weiter 299,55 85x25",
       false},
      {Program::DirUpdater, "Quendra Updater",
       "client 387x134, outer height 138, log pane hidden, status bar 0,115 387x19, "
       "Abbruch 209,50 85x25, Weiter 295,50 85x25",
       true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(Name(c.program));
    ProgramWindow program(c.program);
    program.Open();
    QWidget& window = program.Window();
    EXPECT_EQ(Layout(window), c.layout);
    EXPECT_EQ(window.windowTitle().toStdString(), c.caption);
    EXPECT_EQ(QApplication::focusWidget(), &Find<QPushButton>(window, "BtWeiter"));
    // The fixed frame has no title-bar buttons; the resizable one has the standard ones.
    EXPECT_EQ(window.minimumSize() != window.maximumSize(), c.resizable);
    EXPECT_EQ(window.windowFlags().testFlag(Qt::WindowCloseButtonHint) ||
                  !window.windowFlags().testFlag(Qt::CustomizeWindowHint),
              c.resizable);
    // Centred with the compact size: there is one screen here, so desktop and screen agree.
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    const QRect outer = window.frameGeometry();
    EXPECT_EQ(outer.topLeft(),
              QPoint((screen.width() - outer.width()) / 2, (screen.height() - outer.height()) / 2));
  }
}

TEST(QtProgramWindowTest, ResizedWindowKeepsButtonsRightAndPanesAtTheBottom) {
  ProgramWindow program(Program::DirUpdater);
  program.Open();
  auto& window = program.Window();
  window.resize(500, 300);
  EXPECT_EQ(Layout(window),
            "client 500x300, outer height 304, log pane hidden, status bar 0,281 500x19, "
            "Abbruch 322,50 85x25, Weiter 408,50 85x25");
  window.SetLogPaneHeight(180);
  window.SetLogPaneVisible(true);
  window.resize(300, 400);
  EXPECT_EQ(Layout(window),
            "client 300x400, outer height 404, log pane shown 0,201 300x180, "
            "status bar 0,381 300x19, Abbruch 122,50 85x25, Weiter 208,50 85x25");
}

// "Weiter" expands the window and starts the run; each program's run is stopped at its first box
// (QNDUpdater: no installation registered; QNDUpdaterP2: users logged in), where the window is
// described on stderr, and "OK" then ends the process with 1.
void ExpandUntilFirstBox(Program program) {
  ProgramWindow window(program);
  window.Installation().SetUserCount("2");
  window.Open();
  WhenModalBoxOpens([&window](QMessageBox& box) {
    std::cerr << "expanded: " << Layout(window.Window()) << "\nbox: " << Describe(box) << "\n";
    box.buttons().front()->click();
  });
  PressKey(window.Window(), Qt::Key_Return);
}

TEST_F(QtProgramWindowDeathTest, WeiterExpandsTheWindowForTheRun) {
  EXPECT_EXIT(ExpandUntilFirstBox(Program::LocalUpdater), ::testing::ExitedWithCode(1),
              "expanded: client 389x336, outer height 340, log pane shown 0,137 389x180, "
              "status bar 0,317 389x19, Abbruch 208,55 85x25, Weiter 299,55 85x25 disabled\n"
              "box: Fehler: Das Installationsverzeichnis von Quendra konnte nicht ermittelt "
              "werden!\nDas Update wird abgebrochen! \\[error\\] \\[OK\\*\\]");
  EXPECT_EXIT(ExpandUntilFirstBox(Program::DirUpdater), ::testing::ExitedWithCode(1),
              "expanded: client 387x314, outer height 318, log pane shown 0,115 387x180, "
              "status bar 0,295 387x19, Abbruch 209,50 85x25, Weiter 295,50 85x25 disabled\n"
              "box: Fehler: Es sind noch Anwender in Quendra angemeldet!\nDas Update wird "
              "abgebrochen! \\[error\\] \\[OK\\*\\]");
}

TEST_F(QtProgramWindowDeathTest, EndsTheProcessWithTheProgramsExitCode) {
  const struct {
    const char* what;
    Program program;
    std::function<void(ProgramWindow&)> act;
    int code;
  } cases[] = {
      {"Esc", Program::LocalUpdater, [](ProgramWindow& p) { PressKey(p.Window(), Qt::Key_Escape); },
       1},
      {"Esc", Program::DirUpdater, [](ProgramWindow& p) { PressKey(p.Window(), Qt::Key_Escape); },
       1},
      {"click on Abbruch", Program::DirUpdater,
       [](ProgramWindow& p) {
         QTest::mouseClick(&Find<QPushButton>(p.Window(), "BtAbbruch"), Qt::LeftButton);
       },
       1},
      {"closing while waiting", Program::LocalUpdater, [](ProgramWindow& p) { p.Window().close(); },
       0},
      {"closing while waiting", Program::DirUpdater, [](ProgramWindow& p) { p.Window().close(); },
       0},
      {"Esc while the run processes events", Program::DirUpdater,
       [](ProgramWindow& p) {
         // Delivered by the event processing of the run that Enter starts.
         QTimer::singleShot(0, &p.Window(), [&p] { PressKey(p.Window(), Qt::Key_Escape); });
         PressKey(p.Window(), Qt::Key_Return);
       },
       1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(Name(c.program)) + ": " + c.what);
    EXPECT_EXIT(
        {
          ProgramWindow program(c.program);
          program.Open();
          c.act(program);
          std::cerr << "still running\n";
          std::exit(99);
        },
        ::testing::ExitedWithCode(c.code), "");
  }
}

TEST_F(QtProgramWindowDeathTest, NoAtTheQuestionBeforeTheWindowEndsWithOne) {
  EXPECT_EXIT(ProgramWindow(Program::DirUpdater).Open(false), ::testing::ExitedWithCode(1), "");
}

}  // namespace
}  // namespace qnd::test
