// A program's real window: the Qt window with the program's own TFHaupt, opened as its main() opens
// it, on a release-8 installation in a temporary folder. The installer's registration is missing,
// so QNDUpdater's run stops at its first box; QNDUpdaterP2 works on the installation's directory.
#pragma once

#include "core/updater_context.h"
#include "platform/qt/main_window.h"
#include "tests/support/fake_registry.h"
#include "tests/support/fake_services.h"
#include "tests/support/sample_installation.h"
#include "tests/support/temp_dir.h"

namespace qnd::test {

class ProgramWindow {
 public:
  explicit ProgramWindow(Program program);

  /// Opens the window and waits until it is active; QNDUpdaterP2's question before its window
  /// appears is answered "&Ja" or, with `confirm` false, "&Nein".
  void Open(bool confirm = true);

  platform::qt::UpdaterWidget& Window() { return *main_.window; }
  SampleInstallation& Installation() { return installation_; }

 private:
  Program program_;
  TempDir dir_;
  SampleInstallation installation_;
  FakeRegistry registry_;
  FakeProcessInfo process_;
  platform::qt::MainWindow main_;  // last: its handler uses the services above
};

}  // namespace qnd::test
