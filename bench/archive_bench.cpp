// Runs the archive step's packing (DoZip) on a folder, as QNDUpdaterP2 does before it empties an
// installation, and prints how long it took: the program that bench/run_bench.sh times against
// other ZIP tools. With --verify it then reads the archive back as the step does before its
// deletion, and prints that time too. Nothing is deleted.
//
//   qnd_archive_bench [--verify] <folder> <archive> [threads]
#include <chrono>
#include <cstdio>
#include <cstring>
#include <string>

#include "dir_updater/archive_check.h"
#include "dir_updater/archive_error.h"
#include "dir_updater/install_zip.h"
#include "platform/file_system.h"

namespace {

double SecondsSince(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

}  // namespace

int main(int argc, char** argv) {
  const bool verify = argc > 1 && std::strcmp(argv[1], "--verify") == 0;
  if (verify) {
    --argc;
    ++argv;
  }
  if (argc < 3 || argc > 4) {
    std::fprintf(stderr, "usage: %s [--verify] <folder> <archive> [threads]\n", argv[0]);
    return 2;
  }
  qnd::dir::ZipOptions options;
  if (argc == 4) options.threads = static_cast<unsigned>(std::stoul(argv[3]));
  qnd::platform::FileSystem& fileSystem = qnd::platform::SystemFileSystem();
  try {
    const auto start = std::chrono::steady_clock::now();
    // No own program inside the folder to leave out.
    const qnd::dir::ArchiveContents contents =
        qnd::dir::DoZip(fileSystem, argv[1], argv[2], "", options);
    std::printf("%zu files, %u threads, %.3f s", contents.files.size(), options.threads,
                SecondsSince(start));
    if (verify) {
      const auto verifying = std::chrono::steady_clock::now();
      qnd::dir::VerifyArchive(fileSystem, argv[2], contents.Entries());
      std::printf(", verified in %.3f s", SecondsSince(verifying));
    }
    std::printf("\n");
  } catch (const qnd::dir::ArchiveError& failure) {
    std::fprintf(stderr, "archive failed: %s\n", failure.what());
    return 1;
  }
  return 0;
}
