#include "core/progress_log.h"

#include <gtest/gtest.h>

#include "tests/support/recording_ui.h"

namespace qnd {
namespace {

using test::RecordingUi;
using test::UiEvent;
using Kind = UiEvent::Kind;

TEST(ProgressLogTest, OkLineIsShownBeforeItsPause) {
  RecordingUi ui;
  ProgressLog log(ui);
  log.AddLine("Quendra-Datenpfad - OK");
  log.AddOkLine("Benutzeranzahl - OK");
  const std::vector<UiEvent> expected = {
      {Kind::Line, "", "Quendra-Datenpfad - OK"},
      {Kind::Line, "", "Benutzeranzahl - OK"},
      {Kind::Pump, "", ""},
      {Kind::Pause, "", "", 500},
  };
  EXPECT_EQ(ui.Events(), expected);
}

TEST(ProgressLogTest, BoxesCarryTheirTitles) {
  RecordingUi ui;
  ui.AnswerQuestions({true, false});
  ProgressLog log(ui);
  log.ShowError("Es sind noch Anwender in Quendra angemeldet!\nDas Update wird abgebrochen!");
  EXPECT_TRUE(log.Confirm("Weiter?"));
  EXPECT_FALSE(log.Confirm("Weiter?"));
  log.ShowUnexpectedFailure("C:\\x\\QNDUpdaterP2.exe", "In C:\\y.ini kann nicht geschrieben werden");
  ASSERT_EQ(ui.Events().size(), 4u);
  EXPECT_EQ(ui.Events()[0].title, "Fehler");
  EXPECT_EQ(ui.Events()[1].title, "Bestätigen");
  EXPECT_EQ(ui.Events()[3],
            (UiEvent{Kind::ErrorBox, "Qndupdaterp2", "In C:\\y.ini kann nicht geschrieben werden."}));
}

TEST(ProgressLogTest, StatusAndEnd) {
  RecordingUi ui;
  ProgressLog log(ui);
  log.SetStatus("Sicherung der Formularkataloge wird erstellt ...");
  EXPECT_EQ(test::RunUntilEnd([&] { log.EndProcess(1); }), 1);
  EXPECT_EQ(ui.Status(), "Sicherung der Formularkataloge wird erstellt ...");
  EXPECT_EQ(ui.ExitCode(), 1);
}

}  // namespace
}  // namespace qnd
