#include "core/dialog_model.h"

#include <gtest/gtest.h>

#include <new>
#include <system_error>

#include "core/default_failure_handler.h"
#include "core/failure.h"
#include "platform/process.h"
#include "tests/support/fake_services.h"
#include "tests/support/recording_window.h"

namespace qnd {
namespace {

using Notes = std::vector<std::string>;

// A program whose run is given by the test. Its window keeps whatever size it has: each program's
// sizes are its TFHaupt's and tested with it (tests/programs/haupt_test.cpp).
class TestDialog : public UpdaterDialog {
 public:
  TestDialog(test::RecordingWindow& window, Program program,
             platform::Platform services = platform::SystemPlatform())
      : UpdaterDialog(window, program, services) {}
  void FormShow() override {
    RunGuarded([this] { EnterCompactMode(); });
  }
  std::function<void(TestDialog&)> run = [](TestDialog&) {};
  int runs = 0;
  using UpdaterDialog::EnterExpandedMode;
  ProgressLog& Log() { return log_; }

 protected:
  void Verarbeite() override {
    ++runs;
    EnterExpandedMode();
    run(*this);
  }

 private:
  void SizeCompactMode() override {}
  void SizeExpandedMode() override {}
};

TEST(DialogModelTest, AbbruchEndsWithOne) {
  test::RecordingWindow window;
  TestDialog dialog(window, Program::DirUpdater);
  dialog.FormShow();
  EXPECT_EQ(test::RunUntilEnd([&] { dialog.BtAbbruchClick(); }), 1);
}

TEST(DialogModelTest, AbbruchDuringTheRunEndsItInTheMiddle) {
  test::RecordingWindow window;
  TestDialog dialog(window, Program::LocalUpdater);
  dialog.run = [&](TestDialog& d) {
    window.AtNextPump([&] { d.BtAbbruchClick(); });
    d.Log().AddOkLine("Benutzeranzahl - OK");
  };
  dialog.FormShow();
  EXPECT_EQ(test::RunUntilEnd([&] { dialog.BtWeiterClick(); }), 1);
  EXPECT_EQ(window.ui.Events().back().kind, test::UiEvent::Kind::End) << "nothing after the end";
}

TEST(DialogModelTest, CloseWhileWaitingEndsWithZero) {
  test::RecordingWindow window;
  TestDialog dialog(window, Program::DirUpdater);
  dialog.FormShow();
  EXPECT_EQ(test::RunUntilEnd([&] { dialog.CloseRequested(); }), 0);
}

TEST(DialogModelTest, CloseDuringTheRunLetsTheRunDecide) {
  test::RecordingWindow window;
  TestDialog dialog(window, Program::LocalUpdater);
  dialog.run = [&](TestDialog& d) {
    window.AtNextPump([&] { d.CloseRequested(); });
    d.Log().AddOkLine("Benutzeranzahl - OK");
    EXPECT_FALSE(window.ui.ExitCode().has_value()) << "the close request stopped the run";
    d.Log().EndProcess(1);
  };
  dialog.FormShow();
  EXPECT_EQ(test::RunUntilEnd([&] { dialog.BtWeiterClick(); }), 1);
}

TEST(DialogModelTest, WeiterDuringTheRunDoesNotStartItAgain) {
  test::RecordingWindow window;
  TestDialog dialog(window, Program::LocalUpdater);
  dialog.run = [&](TestDialog& d) {
    window.AtNextPump([&] { d.BtWeiterClick(); });
    d.Log().AddOkLine("Benutzeranzahl - OK");
  };
  dialog.FormShow();
  dialog.BtWeiterClick();
  EXPECT_EQ(dialog.runs, 1);
}

TEST(DialogModelTest, UnexpectedFailureKeepsTheWindowOpenAndWeiterStartsAgain) {
  test::RecordingWindow window;
  TestDialog dialog(window, Program::DirUpdater);
  dialog.run = [&](TestDialog& d) {
    d.Log().AddLine("Benutzeranzahl - OK");
    throw Failure("In C:\\Q\\QND_6_7_8_Update.ini kann nicht geschrieben werden");
  };
  dialog.FormShow();
  dialog.BtWeiterClick();
  ASSERT_EQ(
      window.ui.ErrorTexts(),
      std::vector<std::string>{"In C:\\Q\\QND_6_7_8_Update.ini kann nicht geschrieben werden."});
  EXPECT_FALSE(window.ui.ExitCode().has_value());
  EXPECT_EQ(Notes(window.Notes().end() - 2, window.Notes().end()),
            (Notes{"EnableWeiter", "FocusWeiter"}))
      << "the window waits for Weiter again";

  dialog.BtWeiterClick();  // the whole run again, appending to the same log
  EXPECT_EQ(dialog.runs, 2);
  EXPECT_EQ(window.ui.Lines(),
            (std::vector<std::string>{"Benutzeranzahl - OK", "Benutzeranzahl - OK"}));
}

// Failures of any other kind go the same way, named in German by their kind, with the title the
// default handler gives every failure.
TEST(DialogModelTest, FailuresOfAnyKindGoThroughTheDefaultHandler) {
  const struct {
    const char* kind;
    std::function<void()> fail;
    const char* text;
  } cases[] = {
      {"no memory", [] { throw std::bad_alloc(); }, "Nicht genügend Arbeitsspeicher."},
      {"another exception",
       [] {
         throw std::system_error(std::make_error_code(std::errc::resource_unavailable_try_again));
       },
       "Ein unerwarteter Fehler ist aufgetreten."},
      {"no exception class", [] { throw 42; }, "Ein unerwarteter Fehler ist aufgetreten."},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.kind);
    test::RecordingWindow window;
    TestDialog dialog(window, Program::DirUpdater);
    dialog.run = [&](TestDialog&) { c.fail(); };
    dialog.FormShow();
    dialog.BtWeiterClick();
    ASSERT_EQ(window.ui.ErrorTexts(), std::vector<std::string>{c.text});
    EXPECT_EQ(window.ui.Events().back().title, FailureBoxTitle(platform::RunningProgramPath()));
    EXPECT_EQ(Notes(window.Notes().end() - 2, window.Notes().end()),
              (Notes{"EnableWeiter", "FocusWeiter"}));
    dialog.BtWeiterClick();
    EXPECT_EQ(dialog.runs, 2) << "Weiter starts the run again";
  }
}

// The title names the program that the process service reports, not the test program.
TEST(DialogModelTest, TheFailureBoxIsTitledWithTheProgramOfTheProcessService) {
  class ChosenPath : public test::FakeProcessInfo {
   public:
    std::string ProgramPath() override { return "C:\\Programme\\Quendra\\QNDUpdaterP2.exe"; }
  } process;
  platform::Platform services = platform::SystemPlatform();
  services.process = &process;
  test::RecordingWindow window;
  TestDialog dialog(window, Program::DirUpdater, services);
  dialog.run = [](TestDialog&) { throw Failure("IsWow64: bad process handle"); };
  dialog.FormShow();
  dialog.BtWeiterClick();
  EXPECT_EQ(window.ui.Events().back().title, "Qndupdaterp2");
}

// The shell's progress and error windows belong to the program's window while it lives.
TEST(DialogModelTest, TheShellsWindowsBelongToTheProgramsWindow) {
  class OwnerShell : public test::ShellWithAppData {
   public:
    void SetOwnerWindow(void* window) override { owners.push_back(window); }
    std::vector<void*> owners;
  } shell;
  test::RecordingWindow window;
  int system = 0;
  window.nativeHandle = &system;
  platform::Platform services = platform::SystemPlatform();
  services.shell = &shell;
  {
    const TestDialog dialog(window, Program::DirUpdater, services);
    EXPECT_EQ(shell.owners, std::vector<void*>{&system});
  }
  EXPECT_EQ(shell.owners, (std::vector<void*>{&system, nullptr}));
}

TEST(DialogModelTest, UnexpectedFailureAfterACloseRequestEndsWithZero) {
  test::RecordingWindow window;
  TestDialog dialog(window, Program::LocalUpdater);
  dialog.run = [&](TestDialog& d) {
    window.AtNextPump([&] { d.CloseRequested(); });
    d.Log().PumpEvents();
    throw Failure("IsWow64: bad process handle");
  };
  dialog.FormShow();
  EXPECT_EQ(test::RunUntilEnd([&] { dialog.BtWeiterClick(); }), 0);
  EXPECT_EQ(window.ui.ErrorTexts(), std::vector<std::string>{"IsWow64: bad process handle."});
}

}  // namespace
}  // namespace qnd
