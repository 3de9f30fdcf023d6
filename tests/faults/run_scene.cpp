#include "tests/faults/run_scene.h"

#include <memory>
#include <vector>

#include "core/data_paths.h"
#include "core/result_file.h"
#include "dir_updater/haupt.h"
#include "dir_updater/old_install_archive.h"
#include "local_updater/haupt.h"
#include "local_updater/install_lookup.h"
#include "platform/paths.h"

namespace qnd::test {

RunScene::RunScene(Program program)
    : installation(dir), temporaryFolder(TemporaryFolderVariable(), dir / "Temp") {
  dir.MakeDir("Temp");
  dir.WriteFile("Programme/Quendra/Hilfe/Handbuch.txt", "Kapitel 1\r\n");
  registry.SetString(kShellFoldersKey, "Common AppData", dir / "ProgramData");
  if (program == Program::Local) {
    registry.SetString(local::ProductCodeKey(local::kProductCodes[3]), "InstallLocation",
                       installation.installDir + platform::kPathSeparator);
  }
  shell.localAppData = dir / "AppData/Local";
}

platform::Platform RunScene::Services() {
  platform::Platform services = platform::SystemPlatform();
  services.registry = &registry;
  services.process = &process;
  services.shell = &shell;
  return services;
}

std::string RunScene::ResultFile() const {
  return installation.iniDir + "001" + platform::kPathSeparator + kResultFileName;
}

std::optional<int> RunUpdater(Program program, const std::string& installDir,
                              platform::Platform services, RecordingWindow& window) {
  std::unique_ptr<UpdaterDialog> haupt;
  if (program == Program::Local) {
    haupt = std::make_unique<local::TFHaupt>(window, services);
  } else {
    window.ui.AnswerQuestions({true});
    haupt = std::make_unique<dir::TFHaupt>(
        window, services, std::vector<std::string>{"QNDUpdaterP2", installDir}, dir::SaveQNDInst);
  }
  const std::optional<int> gate = RunUntilEnd([&] { haupt->FormShow(); });
  if (gate) return gate;
  return RunUntilEnd([&] { haupt->BtWeiterClick(); });
}

}  // namespace qnd::test
