// A release-8 installation in a fresh temporary folder with everything a whole run of either
// program needs (registry entries, the temporary folder, the local application-data folder), and
// the run itself driven as a user would: "Ja" to the confirmation, then "Weiter".
#pragma once

#include <optional>
#include <string>

#include "platform/platform.h"
#include "tests/support/fake_registry.h"
#include "tests/support/fake_services.h"
#include "tests/support/recording_window.h"
#include "tests/support/sample_installation.h"
#include "tests/support/scoped_variable.h"
#include "tests/support/temp_dir.h"

namespace qnd::test {

enum class Program { Local, Dir };

struct RunScene {
  explicit RunScene(Program program);

  /// The system's services with this scene's registry, process and shell.
  platform::Platform Services();
  std::string ResultFile() const;

  TempDir dir;
  SampleInstallation installation;
  /// The system's temporary folder is dir/Temp, for this process and those it starts.
  ScopedVariable temporaryFolder;
  FakeRegistry registry;
  FakeProcessInfo process;
  ShellWithAppData shell;
};

/// Runs `program` on the installation in `installDir` with `services`, answering "Ja" to the
/// confirmation and pressing "Weiter"; the exit code, none when the window stays open.
std::optional<int> RunUpdater(Program program, const std::string& installDir,
                              platform::Platform services, RecordingWindow& window);

}  // namespace qnd::test
