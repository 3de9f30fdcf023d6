#include "tests/dir_updater/archive_fakes.h"

#include <algorithm>
#include <utility>

namespace qnd::test {
namespace {

std::error_code NoSpace() { return std::make_error_code(std::errc::no_space_on_device); }

class RecordingInput : public platform::InputFile {
 public:
  RecordingInput(std::unique_ptr<platform::InputFile> file, TestFileSystem& owner)
      : file_(std::move(file)), owner_(owner) {}
  std::error_code Read(char* buffer, std::size_t size, std::size_t& got) override {
    owner_.largestRead = std::max(owner_.largestRead, size);
    return file_->Read(buffer, size, got);
  }
  std::error_code Stamp(platform::FileStamp& stamp) override { return file_->Stamp(stamp); }

 private:
  std::unique_ptr<platform::InputFile> file_;
  TestFileSystem& owner_;
};

class FaultyOutput : public platform::OutputFile {
 public:
  FaultyOutput(std::unique_ptr<platform::OutputFile> file, TestFileSystem& owner)
      : file_(std::move(file)), owner_(owner) {}
  std::error_code Write(const char* data, std::size_t size) override {
    owner_.largestWrite = std::max(owner_.largestWrite, size);
    if (owner_.archiveFault == ArchiveFault::Write) return NoSpace();
    return file_->Write(data, size);
  }
  std::error_code Seek(std::uint64_t offset) override { return file_->Seek(offset); }
  std::error_code Flush() override {
    owner_.events.push_back("flush");
    if (owner_.archiveFault == ArchiveFault::Flush) return NoSpace();
    return file_->Flush();
  }
  std::error_code Close() override {
    owner_.events.push_back("close");
    const std::error_code error = file_->Close();
    if (owner_.archiveFault == ArchiveFault::Close) return NoSpace();
    return error;
  }
  std::error_code Stamp(platform::FileStamp& stamp) override { return file_->Stamp(stamp); }

 private:
  std::unique_ptr<platform::OutputFile> file_;
  TestFileSystem& owner_;
};

}  // namespace

std::error_code MemoryOutputFile::Write(const char* data, std::size_t size) {
  ++writes;
  if (writes == failingWrite) return NoSpace();
  if (keepBytes_) {
    if (bytes.size() < position_ + size) bytes.resize(static_cast<std::size_t>(position_ + size));
    std::copy(data, data + size, bytes.begin() + static_cast<std::ptrdiff_t>(position_));
  }
  position_ += size;
  length = std::max(length, position_);
  return {};
}

std::error_code MemoryOutputFile::Seek(std::uint64_t offset) {
  ++seeks;
  position_ = offset;
  return {};
}

std::error_code MemoryOutputFile::Stamp(platform::FileStamp& stamp) {
  stamp = {0xFFFF, 0xFFFF, length, {}, {}};
  return {};
}

std::error_code TestFileSystem::CopyFileTo(const std::string& source, const std::string& target) {
  if (failingCopyTargets.count(target)) return std::make_error_code(std::errc::io_error);
  return real.CopyFileTo(source, target);
}

std::error_code TestFileSystem::OpenForReading(const std::string& path,
                                               std::unique_ptr<platform::InputFile>& file) {
  if (unreadable.count(path)) return std::make_error_code(std::errc::permission_denied);
  std::unique_ptr<platform::InputFile> opened;
  if (const std::error_code error = real.OpenForReading(path, opened)) return error;
  file = std::make_unique<RecordingInput>(std::move(opened), *this);
  return {};
}

std::error_code TestFileSystem::CreateForWriting(const std::string& path,
                                                 std::unique_ptr<platform::OutputFile>& file) {
  std::unique_ptr<platform::OutputFile> created;
  if (const std::error_code error = real.CreateForWriting(path, created)) return error;
  file = std::make_unique<FaultyOutput>(std::move(created), *this);
  return {};
}

std::error_code TestFileSystem::RemoveFileIfUnchanged(const std::string& path,
                                                      const platform::FileStamp& stamp) {
  if (beforeDeleting) std::exchange(beforeDeleting, nullptr)();
  events.push_back("remove " + path);
  return real.RemoveFileIfUnchanged(path, stamp);
}

std::error_code TestFileSystem::RemoveEmptyFolder(const std::string& path) {
  events.push_back("rmdir " + path);
  return real.RemoveEmptyFolder(path);
}

}  // namespace qnd::test
