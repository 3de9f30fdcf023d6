#include "platform/fault_injection.h"

#include <utility>

namespace qnd::platform {
namespace {

constexpr std::array<FileOperation, kFileOperationCount> kAllOperations = {
    FileOperation::CreateFile,   FileOperation::Open,         FileOperation::Read,
    FileOperation::Write,        FileOperation::Seek,         FileOperation::Flush,
    FileOperation::Close,        FileOperation::Stamp,        FileOperation::Copy,
    FileOperation::Delete,       FileOperation::Rename,       FileOperation::List,
    FileOperation::CreateFolder, FileOperation::RemoveFolder, FileOperation::ProfileWrite,
};

FileCall Call(FileOperation operation, std::string path, std::string target = {},
              std::size_t size = 0) {
  FileCall call;
  call.operation = operation;
  call.path = std::move(path);
  call.target = std::move(target);
  call.size = size;
  return call;
}

// Over a file it owns, or (without `owned`) over one that a deletion's content check reads.
class FaultyInputFile final : public InputFile {
 public:
  FaultyInputFile(std::unique_ptr<InputFile> owned, std::string path, FaultInjector& faults)
      : owned_(std::move(owned)), inner_(*owned_), path_(std::move(path)), faults_(faults) {}
  FaultyInputFile(InputFile& checked, std::string path, FaultInjector& faults)
      : inner_(checked), path_(std::move(path)), faults_(faults), checkingContent_(true) {}

  std::error_code Read(char* buffer, std::size_t size, std::size_t& got) override {
    FileCall call = Call(FileOperation::Read, path_, {}, size);
    call.checkingContent = checkingContent_;
    if (faults_.Decide(std::move(call))) return InjectedFault();
    return inner_.Read(buffer, size, got);
  }
  std::error_code Stamp(FileStamp& stamp) override {
    if (faults_.Decide(Call(FileOperation::Stamp, path_))) return InjectedFault();
    return inner_.Stamp(stamp);
  }

 private:
  std::unique_ptr<InputFile> owned_;
  InputFile& inner_;
  std::string path_;
  FaultInjector& faults_;
  bool checkingContent_ = false;
};

class FaultyOutputFile final : public OutputFile {
 public:
  FaultyOutputFile(std::unique_ptr<OutputFile> inner, std::string path, FaultInjector& faults)
      : inner_(std::move(inner)), path_(std::move(path)), faults_(faults) {}

  std::error_code Write(const char* data, std::size_t size) override {
    if (faults_.Decide(Call(FileOperation::Write, path_, {}, size))) return InjectedFault();
    return inner_->Write(data, size);
  }
  std::error_code Seek(std::uint64_t offset) override {
    if (faults_.Decide(Call(FileOperation::Seek, path_))) return InjectedFault();
    return inner_->Seek(offset);
  }
  std::error_code Flush() override {
    if (faults_.Decide(Call(FileOperation::Flush, path_))) return InjectedFault();
    return inner_->Flush();
  }
  // The file is closed either way: a failing close still gives up the handle.
  std::error_code Close() override {
    const bool fail = faults_.Decide(Call(FileOperation::Close, path_));
    const std::error_code error = inner_->Close();
    return fail ? InjectedFault() : error;
  }
  std::error_code Stamp(FileStamp& stamp) override {
    if (faults_.Decide(Call(FileOperation::Stamp, path_))) return InjectedFault();
    return inner_->Stamp(stamp);
  }

 private:
  std::unique_ptr<OutputFile> inner_;
  std::string path_;
  FaultInjector& faults_;
};

}  // namespace

const std::array<FileOperation, kFileOperationCount>& AllFileOperations() { return kAllOperations; }

const char* FileOperationName(FileOperation operation) {
  switch (operation) {
    case FileOperation::CreateFile:
      return "create";
    case FileOperation::Open:
      return "open";
    case FileOperation::Read:
      return "read";
    case FileOperation::Write:
      return "write";
    case FileOperation::Seek:
      return "seek";
    case FileOperation::Flush:
      return "flush";
    case FileOperation::Close:
      return "close";
    case FileOperation::Stamp:
      return "stamp";
    case FileOperation::Copy:
      return "copy";
    case FileOperation::Delete:
      return "delete";
    case FileOperation::Rename:
      return "rename";
    case FileOperation::List:
      return "list";
    case FileOperation::CreateFolder:
      return "create folder";
    case FileOperation::RemoveFolder:
      return "remove folder";
    case FileOperation::ProfileWrite:
      break;
  }
  return "profile write";
}

std::error_code InjectedFault() { return std::make_error_code(std::errc::io_error); }

void FaultInjector::FailAt(FileOperation operation, std::size_t nth, bool fromThenOn) {
  const std::lock_guard lock(mutex_);
  fault_ = Fault{operation, nth, fromThenOn};
}

void FaultInjector::SetWatch(Watch watch) {
  const std::lock_guard lock(mutex_);
  watch_ = std::move(watch);
}

void FaultInjector::Reset() {
  const std::lock_guard lock(mutex_);
  calls_ = {};
  allCalls_ = 0;
  fault_.reset();
  failures_.clear();
}

std::size_t FaultInjector::Calls(FileOperation operation) const {
  const std::lock_guard lock(mutex_);
  return calls_[static_cast<std::size_t>(operation)];
}

std::vector<FileCall> FaultInjector::Failures() const {
  const std::lock_guard lock(mutex_);
  return failures_;
}

bool FaultInjector::Decide(FileCall call) {
  const std::lock_guard lock(mutex_);
  call.number = ++calls_[static_cast<std::size_t>(call.operation)];
  call.overall = ++allCalls_;
  bool fail = watch_ && watch_(call);
  if (fault_ && fault_->operation == call.operation &&
      (call.number == fault_->nth || (fault_->fromThenOn && call.number > fault_->nth)))
    fail = true;
  if (fail) failures_.push_back(std::move(call));
  return fail;
}

std::error_code FaultyFileSystem::CopyFileTo(const std::string& source, const std::string& target) {
  if (faults_.Decide(Call(FileOperation::Copy, source, target))) return InjectedFault();
  return inner_.CopyFileTo(source, target);
}

std::error_code FaultyFileSystem::CreateDirectories(const std::string& path) {
  if (faults_.Decide(Call(FileOperation::CreateFolder, path))) return InjectedFault();
  return inner_.CreateDirectories(path);
}

std::error_code FaultyFileSystem::ListFolder(const std::string& folder,
                                             std::vector<DirectoryEntry>& entries) {
  if (faults_.Decide(Call(FileOperation::List, folder))) return InjectedFault();
  return inner_.ListFolder(folder, entries);
}

std::error_code FaultyFileSystem::OpenForReading(const std::string& path,
                                                 std::unique_ptr<InputFile>& file) {
  if (faults_.Decide(Call(FileOperation::Open, path))) return InjectedFault();
  std::unique_ptr<InputFile> opened;
  if (const std::error_code error = inner_.OpenForReading(path, opened)) return error;
  file = std::make_unique<FaultyInputFile>(std::move(opened), path, faults_);
  return {};
}

std::error_code FaultyFileSystem::CreateForWriting(const std::string& path,
                                                   std::unique_ptr<OutputFile>& file) {
  if (faults_.Decide(Call(FileOperation::CreateFile, path))) return InjectedFault();
  std::unique_ptr<OutputFile> created;
  if (const std::error_code error = inner_.CreateForWriting(path, created)) return error;
  file = std::make_unique<FaultyOutputFile>(std::move(created), path, faults_);
  return {};
}

std::error_code FaultyFileSystem::RemoveFileIfUnchanged(const std::string& path,
                                                        const FileStamp& stamp,
                                                        const ContentCheck& sameContent) {
  if (faults_.Decide(Call(FileOperation::Delete, path))) return InjectedFault();
  return inner_.RemoveFileIfUnchanged(path, stamp, [&](InputFile& file) {
    FaultyInputFile seen(file, path, faults_);
    return sameContent(seen);
  });
}

std::error_code FaultyFileSystem::RenameFile(const std::string& from, const std::string& to) {
  if (faults_.Decide(Call(FileOperation::Rename, from, to))) return InjectedFault();
  return inner_.RenameFile(from, to);
}

std::error_code FaultyFileSystem::RemoveEmptyFolder(const std::string& path) {
  if (faults_.Decide(Call(FileOperation::RemoveFolder, path))) return InjectedFault();
  return inner_.RemoveEmptyFolder(path);
}

int FaultyShell::CopyFiles(const std::string& sourcePattern, const std::string& targetFolder,
                           unsigned flags) {
  if (faults_.Decide(Call(FileOperation::Copy, sourcePattern, targetFolder)))
    return kShellDeviceError;
  return inner_.CopyFiles(sourcePattern, targetFolder, flags);
}

std::error_code FaultyProfile::WriteString(const std::string& path, const std::string& section,
                                           const std::string& key, const std::string& value) {
  if (faults_.Decide(Call(FileOperation::ProfileWrite, path))) return InjectedFault();
  return inner_.WriteString(path, section, key, value);
}

FaultyPlatform::FaultyPlatform(Platform real, FaultInjector& faults)
    : real_(real),
      fileSystem_(*real.fileSystem, faults),
      shell_(*real.shell, faults),
      profile_(*real.profile, faults) {}

Platform FaultyPlatform::Services() {
  Platform services = real_;
  services.fileSystem = &fileSystem_;
  services.shell = &shell_;
  services.profile = &profile_;
  return services;
}

}  // namespace qnd::platform
