// Stand-ins for the archive tests: an output file in memory that fails on request, the system's
// file system with faults and a record of what the archive step did, and a chosen own path.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "platform/file_system.h"
#include "platform/process.h"

namespace qnd::test {

/// An output file kept in memory (or only counted, when `keepBytes` is false).
class MemoryOutputFile : public platform::OutputFile {
 public:
  explicit MemoryOutputFile(bool keepBytes = true) : keepBytes_(keepBytes) {}
  std::error_code Write(const char* data, std::size_t size) override;
  std::error_code Seek(std::uint64_t offset) override;
  std::error_code Flush() override { return {}; }
  std::error_code Close() override { return {}; }
  std::error_code Stamp(platform::FileStamp& stamp) override;

  std::string bytes;
  std::uint64_t length = 0;
  std::size_t writes = 0;
  std::size_t seeks = 0;
  /// The write with this number (from 1) fails with "no space left".
  std::size_t failingWrite = 0;

 private:
  bool keepBytes_;
  std::uint64_t position_ = 0;
};

enum class ArchiveFault { None, Write, Flush, Close };

/// The system's file system, with a chosen temporary folder and the faults a test asks for; it
/// notes the archive's flush and close and every removal in one list of events.
class TestFileSystem : public platform::FileSystem {
 public:
  bool FileExists(const std::string& path) override { return real.FileExists(path); }
  bool DirectoryExists(const std::string& path) override { return real.DirectoryExists(path); }
  std::error_code CopyFileTo(const std::string& source, const std::string& target) override;
  std::error_code CreateDirectories(const std::string& path) override {
    return real.CreateDirectories(path);
  }
  std::string ResolveName(const std::string& folder, const std::string& name) override {
    return real.ResolveName(folder, name);
  }
  std::string TemporaryFolder() override { return temporaryFolder; }
  bool EntryExists(const std::string& path) override { return real.EntryExists(path); }
  std::error_code ListFolder(const std::string& folder,
                             std::vector<platform::DirectoryEntry>& entries) override {
    return real.ListFolder(folder, entries);
  }
  std::error_code OpenForReading(const std::string& path,
                                 std::unique_ptr<platform::InputFile>& file) override;
  std::error_code CreateForWriting(const std::string& path,
                                   std::unique_ptr<platform::OutputFile>& file) override;
  std::error_code RemoveFileIfUnchanged(const std::string& path,
                                        const platform::FileStamp& stamp) override;
  std::error_code RemoveEmptyFolder(const std::string& path) override;

  platform::FileSystem& real = platform::SystemFileSystem();
  std::string temporaryFolder;
  std::set<std::string> unreadable;          ///< opening these for reading fails
  std::set<std::string> failingCopyTargets;  ///< copies to these fail
  ArchiveFault archiveFault = ArchiveFault::None;
  /// Runs once, before the first removal: the moment between the finished archive and the deletion.
  std::function<void()> beforeDeleting;

  /// "flush", "close", "remove <path>", "rmdir <path>" in the order they happened (successful or
  /// not).
  std::vector<std::string> events;
  std::size_t largestRead = 0;   ///< the largest single read asked of any file
  std::size_t largestWrite = 0;  ///< the largest single write to the archive
};

/// The running program's path as a test chooses it.
class OwnPath : public platform::ProcessInfo {
 public:
  platform::Wow64 QueryWow64() override { return platform::Wow64::No; }
  std::string ProgramPath() override { return path; }
  std::string path = "/nowhere/QNDUpdaterP2.exe";
};

}  // namespace qnd::test
