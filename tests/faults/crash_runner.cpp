// QNDUpdaterP2's whole directory run for the kill test: the real steps on the system's services
// behind the fault seam, in a window that answers "Ja" and presses "Weiter", as the program runs
// them. Arguments: the installation directory, the all-users application-data folder, and the
// number of the file-system call before which the process stops itself (SIGSTOP), so the test can
// kill it exactly there; 0 runs to the end and prints each call, one a line ("<kind>\t<path>").
// The exit code is the run's.
#include <signal.h>

#include <iostream>
#include <string>
#include <vector>

#include "core/data_paths.h"
#include "platform/fault_injection.h"
#include "tests/faults/run_scene.h"

int main(int argc, char** argv) {
  using namespace qnd;
  if (argc != 4) {
    std::cerr << "usage: " << argv[0] << " <installation> <common appdata> <stop at call>\n";
    return 2;
  }
  const std::string installDir = argv[1];
  const unsigned long stopAt = std::stoul(argv[3]);

  test::FakeRegistry registry;
  registry.SetString(kShellFoldersKey, "Common AppData", argv[2]);
  platform::Platform services = platform::SystemPlatform();
  services.registry = &registry;

  platform::FaultInjector faults;
  std::vector<std::string> calls;
  faults.SetWatch([&](const platform::FileCall& call) {
    if (call.overall == stopAt) ::raise(SIGSTOP);
    calls.push_back(std::string(platform::FileOperationName(call.operation)) + '\t' + call.path);
    return false;
  });
  platform::FaultyPlatform faulty(services, faults);
  test::RecordingWindow window;
  const std::optional<int> exit =
      test::RunUpdater(test::Program::Dir, installDir, faulty.Services(), window);
  for (const std::string& call : calls) std::cout << call << '\n';
  return exit.value_or(3);
}
