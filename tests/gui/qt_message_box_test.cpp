// The window's modal boxes: the error box and the yes/no question, their texts, icons and buttons,
// and which answers count as yes.
#include <gtest/gtest.h>

#include <QPushButton>
#include <QTest>

#include "platform/qt/updater_window.h"
#include "tests/gui/qt_gui_support.h"

namespace qnd::test {
namespace {

QAbstractButton* ButtonCaptioned(QMessageBox& box, const char* caption) {
  for (QAbstractButton* button : box.buttons()) {
    if (button->text() == caption) return button;
  }
  return nullptr;
}

void PressOnBox(QMessageBox& box, Qt::Key key) { QTest::keyClick(box.windowHandle(), key); }

class QtMessageBoxTest : public ::testing::Test {
 protected:
  QtMessageBoxTest() : window_(platform::WindowDesign{}) {}
  platform::qt::UpdaterWidget window_;
};

TEST_F(QtMessageBoxTest, QuestionAnswers) {
  const struct {
    const char* what;
    std::function<void(QMessageBox&)> answer;
    bool yes;
  } cases[] = {
      {"&Ja", [](QMessageBox& box) { ButtonCaptioned(box, "&Ja")->click(); }, true},
      {"&Nein", [](QMessageBox& box) { ButtonCaptioned(box, "&Nein")->click(); }, false},
      {"Enter", [](QMessageBox& box) { PressOnBox(box, Qt::Key_Return); }, true},
      {"Esc", [](QMessageBox& box) { PressOnBox(box, Qt::Key_Escape); }, false},
      {"closed", [](QMessageBox& box) { box.close(); }, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    std::string shown;
    WhenModalBoxOpens([&](QMessageBox& box) {
      shown = Describe(box);
      c.answer(box);
    });
    EXPECT_EQ(window_.AskYesNo("Bestätigen", "Soll das Update\nfortgesetzt werden?"), c.yes);
    EXPECT_EQ(shown, "Bestätigen: Soll das Update\nfortgesetzt werden? [question] [&Ja*] [&Nein]");
  }
}

TEST_F(QtMessageBoxTest, ErrorBoxShowsItsTextAsItIs) {
  for (const Qt::Key close : {Qt::Key_Return, Qt::Key_Escape}) {
    std::string shown;
    WhenModalBoxOpens([&](QMessageBox& box) {
      shown = Describe(box);
      EXPECT_EQ(box.textFormat(), Qt::PlainText);
      PressOnBox(box, close);
    });
    window_.ShowErrorBox("Qndupdater", "Datei <b>Quendra.ini</b> fehlt!\nAbbruch.");
    EXPECT_EQ(shown, "Qndupdater: Datei <b>Quendra.ini</b> fehlt!\nAbbruch. [error] [OK*]");
  }
}

}  // namespace
}  // namespace qnd::test
