// Runs the archive step of QNDUpdaterP2 on a folder and prints how long it took: the program that
// bench/run_bench.sh times against other tools.
//
//   qnd_archive_bench [--verify] <folder> <archive> [threads]
//       packs the folder (DoZip) and, with --verify, reads the archive back as the step does
//       before its deletion; nothing is deleted.
//   qnd_archive_bench --whole <folder> <temporary folder> [threads]
//       the whole step as the program runs it: archive, copy into the folder, verification, the
//       deletion with its content check; empties the folder.
//   qnd_archive_bench --read <folder>
//       the floor: the walk's listings and each file opened, stamped and read once through the
//       same calls, with nothing compressed or written.
#include <chrono>
#include <cstdio>
#include <cstring>
#include <exception>
#include <memory>
#include <string>
#include <vector>

#include "dir_updater/archive_check.h"
#include "dir_updater/archive_error.h"
#include "dir_updater/install_walk.h"
#include "dir_updater/install_zip.h"
#include "dir_updater/old_install_archive.h"
#include "platform/file_system.h"

namespace {

using qnd::dir::ThrowIfFailed;

double SecondsSince(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// Lists as the archive's walk does, then reads every file in pieces of the archive's size.
void ReadTree(qnd::platform::FileSystem& fileSystem, const std::string& folder) {
  std::vector<std::string> paths;
  qnd::dir::InstallWalk walk(fileSystem, "",
                             [&](const std::string& path, const std::string&,
                                 const qnd::platform::DirectoryEntry&) { paths.push_back(path); });
  walk.ZipFolder(folder, "");
  std::vector<char> buffer(qnd::dir::kPieceSize);
  std::uint64_t bytes = 0;
  for (const std::string& path : paths) {
    std::unique_ptr<qnd::platform::InputFile> file;
    ThrowIfFailed(fileSystem.OpenForReading(path, file), "opening", path);
    qnd::platform::FileStamp stamp;
    ThrowIfFailed(file->Stamp(stamp), "reading the stamp of", path);
    for (;;) {
      std::size_t got = 0;
      ThrowIfFailed(file->Read(buffer.data(), buffer.size(), got), "reading", path);
      if (got == 0) break;
      bytes += got;
    }
  }
  std::printf("%zu files, %llu bytes read", paths.size(), static_cast<unsigned long long>(bytes));
}

int Usage(const char* program) {
  std::fprintf(stderr,
               "usage: %s [--verify] <folder> <archive> [threads]\n"
               "       %s --whole <folder> <temporary folder> [threads]\n"
               "       %s --read <folder>\n",
               program, program, program);
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  const char* program = argv[0];
  std::string mode;
  if (argc > 1 && std::strncmp(argv[1], "--", 2) == 0) {
    mode = argv[1];
    --argc;
    ++argv;
  }
  if (mode != "" && mode != "--verify" && mode != "--whole" && mode != "--read")
    return Usage(program);
  if (mode == "--read" ? argc != 2 : (argc < 3 || argc > 4)) return Usage(program);
  const unsigned threads =
      argc == 4 ? static_cast<unsigned>(std::stoul(argv[3])) : qnd::dir::ProcessorCount();
  qnd::platform::FileSystem& fileSystem = qnd::platform::SystemFileSystem();
  try {
    const auto start = std::chrono::steady_clock::now();
    if (mode == "--read") {
      ReadTree(fileSystem, argv[1]);
    } else if (mode == "--whole") {
      // When the bar first stood at each stage's end: how long each stage took.
      std::vector<double> ends;
      const int stageEnds[] = {qnd::dir::kArchivedAt, qnd::dir::kCopiedAt, qnd::dir::kVerifiedAt,
                               100};
      const auto report = [&](int percent) {
        while (ends.size() < 4 && percent >= stageEnds[ends.size()])
          ends.push_back(SecondsSince(start));
      };
      // No own program inside the folder to leave out, and no data folders to keep.
      qnd::dir::ArchiveAndEmpty(fileSystem, argv[1], argv[2], "", threads, {}, report);
      ends.resize(4, SecondsSince(start));
      std::printf(
          "archived and emptied, %u threads: archive %.3f s, copy %.3f s, verification "
          "%.3f s, deletion %.3f s",
          threads, ends[0], ends[1] - ends[0], ends[2] - ends[1], ends[3] - ends[2]);
    } else {
      qnd::dir::ZipOptions options;
      options.threads = threads;
      const qnd::dir::ArchiveContents contents =
          qnd::dir::DoZip(fileSystem, argv[1], argv[2], "", options);
      std::printf("%zu files, %u threads, %.3f s", contents.files.size(), threads,
                  SecondsSince(start));
      if (mode == "--verify") {
        const auto verifying = std::chrono::steady_clock::now();
        qnd::dir::VerifyArchive(fileSystem, argv[2], contents.Entries());
        std::printf(", verified in %.3f s", SecondsSince(verifying));
      }
    }
    std::printf(", %.3f s in all\n", SecondsSince(start));
  } catch (const std::exception& failure) {
    std::fprintf(stderr, "failed: %s\n", failure.what());
    return 1;
  }
  return 0;
}
