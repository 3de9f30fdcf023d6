// The Linux program's arguments as its logic sees them: Qt's own options are gone. This test
// program makes its QApplication through the front end itself, so it cannot share the window
// tests' program, which makes one before the first test.
#include <gtest/gtest.h>

#include <QApplication>
#include <QTimer>
#include <memory>
#include <string>
#include <vector>

#include "dir_updater/haupt.h"
#include "platform/ui.h"

namespace qnd {
namespace {

// Ends the event loop as soon as the window has been shown.
class QuitOnShow final : public platform::WindowEvents {
 public:
  void FormShow() override {
    QTimer::singleShot(0, [] { QApplication::exit(7); });
  }
  void BtWeiterClick() override {}
  void BtAbbruchClick() override {}
  void CloseRequested() override {}
};

TEST(QtApplicationArgumentsTest, QtsOwnOptionsDoNotReachTheProgram) {
  std::vector<std::string> storage = {
      "QNDUpdaterP2", "-platform", "offscreen", "/srv/Programme/Quendra",
      "-style",       "fusion",    "Neu"};
  std::vector<char*> argv;
  for (std::string& argument : storage) argv.push_back(argument.data());
  argv.push_back(nullptr);
  int argc = static_cast<int>(storage.size());

  std::vector<std::string> seen;
  const int code = platform::RunUpdaterApplication(
      argc, argv.data(), dir::HauptDesign(),
      [&seen](platform::UpdaterWindow&, const std::vector<std::string>& arguments) {
        seen = arguments;
        return std::make_unique<QuitOnShow>();
      });

  EXPECT_EQ(code, 7);
  EXPECT_EQ(seen, (std::vector<std::string>{"QNDUpdaterP2", "/srv/Programme/Quendra", "Neu"}));
}

}  // namespace
}  // namespace qnd
