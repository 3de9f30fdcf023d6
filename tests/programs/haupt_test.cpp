// Each program's window design as its TFHaupt gives it: the sizes of compact mode when the window
// is shown and of expanded mode when a run starts, in the order the shared dialog applies them, and
// the last-resort box the window shows itself. The runs themselves are left out here; the
// programs' own tests drive them.
#include "dir_updater/haupt.h"

#include <gtest/gtest.h>

#include "local_updater/haupt.h"
#include "tests/support/recording_window.h"

namespace qnd {
namespace {

using Notes = std::vector<std::string>;

// QNDUpdater's window with a run that only enters expanded mode.
class LocalWindow : public local::TFHaupt {
 public:
  explicit LocalWindow(test::RecordingWindow& window)
      : TFHaupt(window, platform::SystemPlatform()) {}

 protected:
  void Verarbeite() override { EnterExpandedMode(); }
};

// QNDUpdaterP2's window without its version gate, with a run that only enters expanded mode.
class DirWindow : public dir::TFHaupt {
 public:
  explicit DirWindow(test::RecordingWindow& window)
      : TFHaupt(window, platform::SystemPlatform(), {"QNDUpdaterP2"},
                [](UpdaterContext&, platform::UpdaterWindow&) { return kStatusOk; }) {}
  void FormShow() override {
    RunGuarded([this] { EnterCompactMode(); });
  }

 protected:
  void Verarbeite() override { EnterExpandedMode(); }
};

TEST(HauptTest, CompactAndExpandedModeOfTheLocalUpdater) {
  test::RecordingWindow window;
  LocalWindow dialog(window);
  dialog.FormShow();
  EXPECT_EQ(window.Notes(), (Notes{"BringToFront", "Pump", "ClearLog", "HideLog", "LogHeight=0",
                                   "OuterHeight=170", "FocusWeiter"}));
  dialog.BtWeiterClick();
  const Notes run(window.Notes().begin() + 7, window.Notes().end());
  EXPECT_EQ(run, (Notes{"DisableWeiter", "OuterHeight=340", "LogHeight=180", "ShowLog", "Pump",
                        "EnableWeiter", "FocusWeiter"}));
}

TEST(HauptTest, CompactAndExpandedModeOfTheDirectoryUpdater) {
  test::RecordingWindow window;
  DirWindow dialog(window);
  dialog.FormShow();
  EXPECT_EQ(window.Notes(), (Notes{"BringToFront", "Pump", "ClearLog", "HideLog", "LogHeight=0",
                                   "ClientHeight=134", "FocusWeiter"}));
  EXPECT_EQ(dialog.State().CompactClientHeight, 134);
  window.clientHeight = 140;  // a window that could not be made as small keeps its own height
  dialog.BtWeiterClick();
  const Notes run(window.Notes().begin() + 7, window.Notes().end());
  EXPECT_EQ(run, (Notes{"DisableWeiter", "LogHeight=180", "ClientHeight=314", "ShowLog", "Pump",
                        "EnableWeiter", "FocusWeiter"}));
}

TEST(HauptTest, CompactHeightIsTheOneReadBack) {
  // The window may not become exactly as small as asked; the expanded height builds on what it is.
  class ClampingWindow : public test::RecordingWindow {
   public:
    void SetClientHeight(int height) override { RecordingWindow::SetClientHeight(height + 6); }
  } window;
  DirWindow dialog(window);
  dialog.FormShow();
  EXPECT_EQ(dialog.State().CompactClientHeight, 140);
  dialog.BtWeiterClick();
  EXPECT_EQ(window.clientHeight, 140 + 180 + 6);
}

// A failure that escapes the default handler is shown by the window with the text the handler
// gives.
TEST(HauptTest, BothWindowsShowTheLastResortTextOfTheDefaultHandler) {
  const struct {
    const char* program;
    platform::WindowDesign design;
  } cases[] = {{"QNDUpdater", local::HauptDesign()}, {"QNDUpdaterP2", dir::HauptDesign()}};
  for (const auto& c : cases)
    EXPECT_EQ(c.design.escapedFailureText, "Ein unerwarteter Fehler ist aufgetreten.") << c.program;
}

}  // namespace
}  // namespace qnd
