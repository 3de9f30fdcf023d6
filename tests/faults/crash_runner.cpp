// QNDUpdaterP2's whole directory run for the kill test: the real steps on the system's services
// behind the fault seam, in a window that answers "Ja" and presses "Weiter", as the program runs
// them. Arguments: the installation directory, the all-users application-data folder, the number
// of the file-system call before which the run stops, a marker file and a report file. Before that
// call the process creates the marker and waits there for good, holding up every other call of the
// seam, so the test can kill it exactly there; 0 runs to the end, which writes each call into the
// report, one a line ("<kind>\t<path>"). The exit code is the run's.
#include <iostream>
#include <memory>
#include <string>
#include <vector>

#include "core/data_paths.h"
#include "dir_updater/target_dir.h"
#include "platform/fault_injection.h"
#include "platform/file_system.h"
#include "platform/process.h"
#include "tests/faults/run_scene.h"

namespace {

// Past the seam: the run does not count these calls, nor do they wait for it.
bool WriteText(const std::string& path, const std::string& text) {
  std::unique_ptr<qnd::platform::OutputFile> file;
  return !qnd::platform::SystemFileSystem().CreateForWriting(path, file) &&
         !file->Write(text.data(), text.size()) && !file->Close();
}

}  // namespace

int main(int argc, char** argv) {
  using namespace qnd;
  // Windows: the command line as UTF-8, not in the ANSI code page of argv.
  const std::vector<std::string> arguments =
      dir::ProgramArguments(std::vector<std::string>(argv, argv + argc));
  if (arguments.size() != 6) {
    std::cerr << "usage: " << argv[0]
              << " <installation> <common appdata> <stop at call> <marker> <report>\n";
    return 2;
  }
  const std::string& installDir = arguments[1];
  const unsigned long stopAt = std::stoul(arguments[3]);
  const std::string& marker = arguments[4];
  const std::string& report = arguments[5];

  test::FakeRegistry registry;
  registry.SetString(kShellFoldersKey, "Common AppData", arguments[2]);
  platform::Platform services = platform::SystemPlatform();
  services.registry = &registry;

  platform::FaultInjector faults;
  std::vector<std::string> calls;
  faults.SetWatch([&](const platform::FileCall& call) {
    if (call.overall == stopAt) {
      // The watch runs under the seam's lock: while it waits, no other thread's call gets through.
      if (!WriteText(marker, "")) std::cerr << "cannot write " << marker << '\n';
      for (;;) platform::SleepMilliseconds(1000);
    }
    calls.push_back(std::string(platform::FileOperationName(call.operation)) + '\t' + call.path);
    return false;
  });
  platform::FaultyPlatform faulty(services, faults);
  test::RecordingWindow window;
  const std::optional<int> exit =
      test::RunUpdater(test::Program::Dir, installDir, faulty.Services(), window);
  std::string lines;
  for (const std::string& call : calls) lines += call + '\n';
  if (!WriteText(report, lines)) {
    std::cerr << "cannot write " << report << '\n';
    return 4;
  }
  return exit.value_or(3);
}
