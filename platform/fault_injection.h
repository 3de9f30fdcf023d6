// A fault seam for tests: decorators over a file system (and the files it opens), a shell and a
// profile that count every call of each kind and make the Nth call of a kind fail, once or from
// then on, as a full disk, a failing device or a file locked elsewhere would. A watch sees each
// call before it happens, so a test can also change the files under a run's feet or stop the
// process at a chosen call. Calls may come from several threads.
#pragma once

#include <array>
#include <cstddef>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <system_error>
#include <vector>

#include "platform/platform.h"

namespace qnd::platform {

/// The kinds of calls the seam counts. The copies and the profile writer replace their target
/// through a rename of their own; a failing rename there is a failing copy or write.
enum class FileOperation {
  CreateFile,    ///< FileSystem::CreateForWriting
  Open,          ///< FileSystem::OpenForReading
  Read,          ///< InputFile::Read
  Write,         ///< OutputFile::Write
  Seek,          ///< OutputFile::Seek
  Flush,         ///< OutputFile::Flush
  Close,         ///< OutputFile::Close
  Stamp,         ///< InputFile::Stamp, OutputFile::Stamp
  Copy,          ///< FileSystem::CopyFileTo, Shell::CopyFiles
  Delete,        ///< FileSystem::RemoveFileIfUnchanged (its content check reads as Read)
  Rename,        ///< FileSystem::RenameFile
  List,          ///< FileSystem::ListFolder
  CreateFolder,  ///< FileSystem::CreateDirectories
  RemoveFolder,  ///< FileSystem::RemoveEmptyFolder
  ProfileWrite,  ///< Profile::WriteString
};
inline constexpr std::size_t kFileOperationCount = 15;

/// Every kind, in declaration order.
const std::array<FileOperation, kFileOperationCount>& AllFileOperations();
/// "create", "open", "read", ...
const char* FileOperationName(FileOperation operation);

/// One call as the seam sees it, before it happens.
struct FileCall {
  FileOperation operation = FileOperation::Open;
  std::size_t number = 0;        ///< among the calls of its kind, from 1
  std::size_t overall = 0;       ///< among all calls, from 1
  std::string path;              ///< the file or folder; the source of a copy
  std::string target;            ///< the target of a copy or a rename
  std::size_t size = 0;          ///< the bytes a read asks for or a write hands over
  bool checkingContent = false;  ///< a read of a deletion's content check
};

/// What an injected fault returns: an I/O error.
std::error_code InjectedFault();

/// The countdown: counts the calls of each kind and decides which fail.
class FaultInjector {
 public:
  /// Sees each call before it happens (under the injector's lock, so it must not call through the
  /// seam); returning true makes that call fail.
  using Watch = std::function<bool(const FileCall& call)>;

  /// Makes the `nth` call (from 1) of `operation` fail; with `fromThenOn` every later one as well.
  /// Replaces the fault set before.
  void FailAt(FileOperation operation, std::size_t nth, bool fromThenOn = false);
  void SetWatch(Watch watch);
  /// Forgets the counts, the fault and the failures seen; the watch stays.
  void Reset();

  /// The calls of `operation` so far, failed ones included.
  std::size_t Calls(FileOperation operation) const;
  /// The calls made to fail so far, in order.
  std::vector<FileCall> Failures() const;

  /// Counts `call` (its numbers are filled in here) and tells whether it is to fail. The
  /// decorators call it before each call.
  bool Decide(FileCall call);

 private:
  struct Fault {
    FileOperation operation;
    std::size_t nth;
    bool fromThenOn;
  };

  mutable std::mutex mutex_;
  std::array<std::size_t, kFileOperationCount> calls_{};
  std::size_t allCalls_ = 0;
  std::optional<Fault> fault_;
  Watch watch_;
  std::vector<FileCall> failures_;
};

/// A file system whose calls, and those of the files it opens, go through `faults` first. A call
/// made to fail does nothing and returns InjectedFault(), except a close, which closes the file and
/// then reports the failure, as a close that lost data does.
class FaultyFileSystem : public FileSystem {
 public:
  FaultyFileSystem(FileSystem& inner, FaultInjector& faults) : inner_(inner), faults_(faults) {}

  bool FileExists(const std::string& path) override { return inner_.FileExists(path); }
  bool DirectoryExists(const std::string& path) override { return inner_.DirectoryExists(path); }
  std::error_code CopyFileTo(const std::string& source, const std::string& target) override;
  std::error_code CreateDirectories(const std::string& path) override;
  std::string ResolveName(const std::string& folder, const std::string& name) override {
    return inner_.ResolveName(folder, name);
  }
  std::string TemporaryFolder() override { return inner_.TemporaryFolder(); }
  bool EntryExists(const std::string& path) override { return inner_.EntryExists(path); }
  std::error_code ListFolder(const std::string& folder,
                             std::vector<DirectoryEntry>& entries) override;
  std::error_code OpenForReading(const std::string& path,
                                 std::unique_ptr<InputFile>& file) override;
  std::error_code CreateForWriting(const std::string& path,
                                   std::unique_ptr<OutputFile>& file) override;
  std::error_code RemoveFileIfUnchanged(const std::string& path, const FileStamp& stamp,
                                        const ContentCheck& sameContent) override;
  std::error_code RenameFile(const std::string& from, const std::string& to) override;
  std::error_code RemoveEmptyFolder(const std::string& path) override;

 private:
  FileSystem& inner_;
  FaultInjector& faults_;
};

/// A shell whose copies go through `faults` first; a copy made to fail copies nothing and returns
/// kShellDeviceError, the shell's code for InjectedFault().
class FaultyShell : public Shell {
 public:
  FaultyShell(Shell& inner, FaultInjector& faults) : inner_(inner), faults_(faults) {}
  int CopyFiles(const std::string& sourcePattern, const std::string& targetFolder,
                unsigned flags) override;
  std::string LocalAppDataFolder() override { return inner_.LocalAppDataFolder(); }
  std::vector<SystemFolder> SystemFolders() override { return inner_.SystemFolders(); }
  void SetOwnerWindow(void* nativeWindow) override { inner_.SetOwnerWindow(nativeWindow); }

 private:
  Shell& inner_;
  FaultInjector& faults_;
};

/// Profile functions whose writes go through `faults` first; a write made to fail leaves the file.
class FaultyProfile : public Profile {
 public:
  FaultyProfile(Profile& inner, FaultInjector& faults) : inner_(inner), faults_(faults) {}
  std::string ReadString(const std::string& path, const std::string& section,
                         const std::string& key, const std::string& fallback) override {
    return inner_.ReadString(path, section, key, fallback);
  }
  std::error_code WriteString(const std::string& path, const std::string& section,
                              const std::string& key, const std::string& value) override;

 private:
  Profile& inner_;
  FaultInjector& faults_;
};

/// The services of `real` with its file system, shell and profile behind `faults`.
class FaultyPlatform {
 public:
  FaultyPlatform(Platform real, FaultInjector& faults);
  FaultyPlatform(const FaultyPlatform&) = delete;
  FaultyPlatform& operator=(const FaultyPlatform&) = delete;

  Platform Services();

 private:
  Platform real_;
  FaultyFileSystem fileSystem_;
  FaultyShell shell_;
  FaultyProfile profile_;
};

}  // namespace qnd::platform
