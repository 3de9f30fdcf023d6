// Runs the archive step's packing (DoZip) on a folder, as QNDUpdaterP2 does before it empties an
// installation, and prints how long it took: the program that bench/run_bench.sh times against
// other ZIP tools. Nothing is deleted.
//
//   qnd_archive_bench <folder> <archive> [threads]
#include <chrono>
#include <cstdio>
#include <string>

#include "dir_updater/archive_error.h"
#include "dir_updater/install_zip.h"
#include "platform/file_system.h"

int main(int argc, char** argv) {
  if (argc < 3 || argc > 4) {
    std::fprintf(stderr, "usage: %s <folder> <archive> [threads]\n", argv[0]);
    return 2;
  }
  qnd::dir::ZipOptions options;
  if (argc == 4) options.threads = static_cast<unsigned>(std::stoul(argv[3]));
  const auto start = std::chrono::steady_clock::now();
  try {
    // No own program inside the folder to leave out.
    const qnd::dir::ArchiveContents contents =
        qnd::dir::DoZip(qnd::platform::SystemFileSystem(), argv[1], argv[2], "", options);
    const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
    std::printf("%zu files, %u threads, %.3f s\n", contents.files.size(), options.threads,
                elapsed.count());
  } catch (const qnd::dir::ArchiveError& failure) {
    std::fprintf(stderr, "archive failed: %s\n", failure.what());
    return 1;
  }
  return 0;
}
