#include "dir_updater/install_zip.h"

#include <memory>
#include <vector>

#include "dir_updater/archive_error.h"
#include "dir_updater/entry_deflater.h"
#include "dir_updater/install_walk.h"
#include "dir_updater/zip_writer.h"

namespace qnd::dir {
namespace {

constexpr std::size_t kReadChunk = 256 * 1024;

bool SameFile(const platform::FileStamp& a, const platform::FileStamp& b) {
  return a.volume == b.volume && a.index == b.index;
}

class ArchiveBuilder {
 public:
  ArchiveBuilder(platform::FileSystem& fileSystem, platform::OutputFile& archive)
      : fileSystem_(fileSystem), writer_(archive), chunk_(kReadChunk) {
    ThrowIfFailed(archive.Stamp(archiveStamp_), "reading the archive's stamp");
  }

  void AddFile(const std::string& path, const std::string& entryName,
               const platform::DirectoryEntry& entry) {
    std::unique_ptr<platform::InputFile> file;
    ThrowIfFailed(fileSystem_.OpenForReading(path, file), "opening", path);
    platform::FileStamp before;
    ThrowIfFailed(file->Stamp(before), "reading the stamp of", path);
    // Where nothing keeps a reader out of the archive being written (POSIX), the walk could
    // otherwise pack the archive into itself and then delete it.
    if (SameFile(before, archiveStamp_))
      throw ArchiveError("the archive lies inside the installation: " + path);
    if (before.size > kMaxEntrySize)
      throw ArchiveError("a file of 4 GiB or more does not fit the archive: " + path);

    writer_.BeginEntry({entryName, ToDosDateTime(platform::ToLocalTime(before.lastWrite)),
                        ExternalAttributes(entry.attributes)});
    EntryDeflater deflater([this](std::string_view compressed) { writer_.WriteData(compressed); });
    for (;;) {
      std::size_t got = 0;
      ThrowIfFailed(file->Read(chunk_.data(), chunk_.size(), got), "reading", path);
      if (got == 0) break;
      deflater.Add(std::string_view(chunk_.data(), got));
    }
    deflater.Finish();
    writer_.EndEntry(deflater.Crc(), deflater.UncompressedSize());

    // A file that changed while it was read (POSIX cannot prevent that) is in the archive as read,
    // but is not deleted: what is in place may be newer.
    platform::FileStamp after;
    ThrowIfFailed(file->Stamp(after), "reading the stamp of", path);
    if (after == before && deflater.UncompressedSize() == before.size)
      contents_.files.push_back({path, before});
  }

  ZipWriter& writer() { return writer_; }
  ArchiveContents& contents() { return contents_; }

 private:
  platform::FileSystem& fileSystem_;
  ZipWriter writer_;
  platform::FileStamp archiveStamp_;
  std::vector<char> chunk_;
  ArchiveContents contents_;
};

}  // namespace

ArchiveContents DoZip(platform::FileSystem& fileSystem, const std::string& source,
                      const std::string& archive, const std::string& ownProgramPath) {
  std::unique_ptr<platform::OutputFile> file;
  ThrowIfFailed(fileSystem.CreateForWriting(archive, file), "creating", archive);
  ArchiveBuilder builder(fileSystem, *file);
  InstallWalk walk(fileSystem, ownProgramPath,
                   [&builder](const std::string& path, const std::string& entryName,
                              const platform::DirectoryEntry& entry) {
                     builder.AddFile(path, entryName, entry);
                   });
  walk.ZipFolder(source, "");
  builder.writer().Finish();
  // Only an archive safely on disk may stand for the files that are deleted next.
  ThrowIfFailed(file->Flush(), "flushing", archive);
  ThrowIfFailed(file->Close(), "closing", archive);
  ArchiveContents contents = std::move(builder.contents());
  contents.folders = walk.Folders();
  return contents;
}

}  // namespace qnd::dir
