#include "dir_updater/install_zip.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <vector>

#include "dir_updater/archive_error.h"
#include "dir_updater/install_walk.h"
#include "dir_updater/step_progress.h"
#include "dir_updater/zip_writer.h"

namespace qnd::dir {
namespace {

bool SameFile(const platform::FileStamp& a, const platform::FileStamp& b) {
  return a.volume == b.volume && a.index == b.index;
}

// A file the walk chose, as the listing showed it.
struct ListedFile {
  std::string path;
  std::string entryName;
  std::uint32_t attributes = 0;
};

// Reads until `size` bytes are in or the file ends; returns how many came.
std::size_t ReadUpTo(platform::InputFile& file, char* buffer, std::size_t size,
                     const std::string& path) {
  std::size_t filled = 0;
  while (filled < size) {
    std::size_t got = 0;
    ThrowIfFailed(file.Read(buffer + filled, size - filled, got), "reading", path);
    if (got == 0) break;
    filled += got;
  }
  return filled;
}

class ArchiveBuilder {
 public:
  ArchiveBuilder(platform::FileSystem& fileSystem, platform::OutputFile& archive, unsigned threads,
                 StepProgress& progress)
      : fileSystem_(fileSystem),
        writer_(archive),
        progress_(progress),
        compressor_(threads, [this](Piece& piece) { Write(piece); }) {
    ThrowIfFailed(archive.Stamp(archiveStamp_), "reading the archive's stamp");
  }

  // Reads the file in pieces on this thread and hands them to the compressor; the entry is written
  // as its pieces come back.
  void AddFile(ListedFile& listed) {
    const std::string path = listed.path;
    std::unique_ptr<platform::InputFile> file;
    ThrowIfFailed(fileSystem_.OpenForReading(path, file), "opening", path);
    platform::FileStamp before;
    ThrowIfFailed(file->Stamp(before), "reading the stamp of", path);
    // Where nothing keeps a reader out of the archive being written (POSIX), the walk could
    // otherwise pack the archive into itself and then delete it.
    if (SameFile(before, archiveStamp_))
      throw ArchiveError("the archive lies inside the installation: " + path);
    RequireEntrySize(before.size, path);
    ArchivedFile archived;
    archived.archived.entry = {std::move(listed.entryName),
                               ToDosDateTime(platform::ToLocalTime(before.lastWrite)),
                               ExternalAttributes(listed.attributes)};
    archived.path = std::move(listed.path);
    archived.stamp = before;
    contents_.files.push_back(std::move(archived));

    // The size when opened decides where the parts end. A file that changes meanwhile (POSIX
    // cannot keep writers out) is archived as read, up to that size; its stamp then differs, so it
    // is not deleted.
    const std::uint64_t remaining = before.size <= kPieceSize
                                        ? AddWhole(*file, before.size, path)
                                        : AddInPieces(*file, before.size, path);
    platform::FileStamp after;
    ThrowIfFailed(file->Stamp(after), "reading the stamp of", path);
    contents_.files.back().unchanged = after == before && remaining == 0;
  }

  void Finish() {
    SubmitBatch();
    compressor_.Finish();
    writer_.Finish();
  }

  ArchiveContents& contents() { return contents_; }

 private:
  // A file of at most one piece goes whole into the piece being filled with such files, which is
  // submitted once the next one does not fit. Returns how many of `size` bytes did not come.
  std::uint64_t AddWhole(platform::InputFile& file, std::uint64_t size, const std::string& path) {
    const std::size_t wanted = static_cast<std::size_t>(size);
    if (batch_ != nullptr &&
        (batch_->Room() < wanted || batch_->Parts().size() == kMaxPartsPerPiece))
      SubmitBatch();
    if (batch_ == nullptr) batch_ = &compressor_.Free();
    const std::size_t got = ReadUpTo(file, batch_->Next(), wanted, path);
    batch_->AddPart(0, got, true, true);
    return wanted - got;
  }

  // A larger file goes in pieces of its own, each with the 32 KiB before it as its dictionary.
  std::uint64_t AddInPieces(platform::InputFile& file, std::uint64_t remaining,
                            const std::string& path) {
    SubmitBatch();
    std::size_t dictionary = 0;
    for (bool first = true;; first = false) {
      Piece& piece = compressor_.Free();
      std::memcpy(piece.Next(), tail_.data(), dictionary);
      const std::size_t wanted =
          static_cast<std::size_t>(std::min<std::uint64_t>(remaining, kPieceSize));
      const std::size_t got = ReadUpTo(file, piece.Next() + dictionary, wanted, path);
      const bool last = got < wanted || got == remaining;
      remaining -= got;
      // The dictionary of the next piece: the last bytes of this one, with its own in front.
      const std::size_t length = dictionary + got;
      dictionary = std::min(length, kDictionarySize);
      tail_.assign(piece.Next() + length - dictionary, dictionary);
      piece.AddPart(length - got, got, first, last);
      compressor_.Submit(piece);
      if (last) return remaining;
    }
  }

  void SubmitBatch() {
    if (batch_ == nullptr) return;
    compressor_.Submit(*batch_);
    batch_ = nullptr;
  }

  // On this thread, in the order of the pieces.
  void Write(Piece& piece) {
    for (const PiecePart& part : piece.Parts()) {
      ExpectedEntry& entry = contents_.files[begun_].archived;
      if (part.first) {
        writer_.BeginEntry(entry.entry);
        crc_ = 0;
        size_ = 0;
      }
      writer_.WriteData(piece.Compressed(part));
      crc_ = JoinCrc32(crc_, part.crc, part.size);
      size_ += part.size;
      progress_.Add(part.size);
      if (part.last) {
        writer_.EndEntry(crc_, size_);
        entry.crc = crc_;
        entry.size = size_;
        ++begun_;
      }
    }
  }

  platform::FileSystem& fileSystem_;
  ZipWriter writer_;
  StepProgress& progress_;
  platform::FileStamp archiveStamp_;
  std::string tail_;
  Piece* batch_ = nullptr;  // being filled with whole small files, not yet submitted
  std::size_t begun_ = 0;   // the entry whose pieces are being written
  std::uint32_t crc_ = 0;
  std::uint64_t size_ = 0;
  ArchiveContents contents_;
  // Last, so its workers stop before anything they or Write use goes.
  PieceCompressor compressor_;
};

}  // namespace

ArchiveContents DoZip(platform::FileSystem& fileSystem, const std::string& source,
                      const std::string& archive, const std::string& ownProgramPath,
                      const ZipOptions& options) {
  StepProgress unreported(nullptr);
  StepProgress& progress = options.progress ? *options.progress : unreported;
  std::unique_ptr<platform::OutputFile> file;
  ThrowIfFailed(fileSystem.CreateForWriting(archive, file), "creating", archive);

  std::vector<ListedFile> listed;
  std::uint64_t total = 0;
  InstallWalk walk(fileSystem, ownProgramPath,
                   [&](const std::string& path, const std::string& entryName,
                       const platform::DirectoryEntry& entry) {
                     RequireEntryCount(listed.size() + 1);
                     listed.push_back({path, entryName, entry.attributes});
                     total += entry.size;
                   });
  walk.ZipFolder(source, "");
  progress.SetTotal(total);

  ArchiveBuilder builder(fileSystem, *file, options.threads, progress);
  for (ListedFile& one : listed) builder.AddFile(one);
  builder.Finish();
  progress.EndStage();
  // Only an archive safely on disk may stand for the files that are deleted next.
  ThrowIfFailed(file->Flush(), "flushing", archive);
  ThrowIfFailed(file->Close(), "closing", archive);
  ArchiveContents contents = std::move(builder.contents());
  contents.folders = walk.Folders();
  return contents;
}

}  // namespace qnd::dir
