#include "platform/file_handles.h"

#include <string_view>
#include <vector>

#include "platform/win32/wide.h"

namespace qnd::platform::win32 {
namespace {

class Handle {
 public:
  explicit Handle(HANDLE handle = INVALID_HANDLE_VALUE) : handle_(handle) {}
  ~Handle() {
    if (valid()) ::CloseHandle(handle_);
  }
  Handle(const Handle&) = delete;
  Handle& operator=(const Handle&) = delete;
  bool valid() const { return handle_ != INVALID_HANDLE_VALUE; }
  HANDLE get() const { return handle_; }
  HANDLE release() {
    const HANDLE handle = handle_;
    handle_ = INVALID_HANDLE_VALUE;
    return handle;
  }

 private:
  HANDLE handle_;
};

FileTime TimeOf(const FILETIME& time) {
  return {static_cast<std::int64_t>((static_cast<std::uint64_t>(time.dwHighDateTime) << 32) |
                                    time.dwLowDateTime)};
}

std::uint64_t Join(DWORD high, DWORD low) { return (static_cast<std::uint64_t>(high) << 32) | low; }

// Symbolic links, junctions and mount points carry a name-surrogate tag; other reparse points
// (deduplicated or cloud files) are files of their own. Wine shows a Linux link to a folder as a
// reparse point without a tag, so any folder that is a reparse point counts as a link.
bool IsLink(DWORD attributes, DWORD reparseTag) {
  if (!(attributes & FILE_ATTRIBUTE_REPARSE_POINT)) return false;
  return (attributes & FILE_ATTRIBUTE_DIRECTORY) || IsReparseTagNameSurrogate(reparseTag);
}

std::error_code StampOf(HANDLE handle, FileStamp& stamp, DWORD* attributes = nullptr) {
  BY_HANDLE_FILE_INFORMATION info{};
  FILE_BASIC_INFO basic{};
  if (!::GetFileInformationByHandle(handle, &info) ||
      !::GetFileInformationByHandleEx(handle, FileBasicInfo, &basic, sizeof basic))
    return LastError();
  stamp = {info.dwVolumeSerialNumber, Join(info.nFileIndexHigh, info.nFileIndexLow),
           Join(info.nFileSizeHigh, info.nFileSizeLow), TimeOf(info.ftLastWriteTime),
           FileTime{basic.ChangeTime.QuadPart}};
  if (attributes != nullptr) *attributes = info.dwFileAttributes;
  return {};
}

// A link opened as itself (FILE_FLAG_OPEN_REPARSE_POINT) shows its tag here.
bool HandleIsLink(HANDLE handle) {
  FILE_ATTRIBUTE_TAG_INFO tag{};
  return ::GetFileInformationByHandleEx(handle, FileAttributeTagInfo, &tag, sizeof tag) &&
         IsLink(tag.FileAttributes, tag.ReparseTag);
}

std::wstring_view LastComponent(std::wstring_view path) {
  const std::size_t separator = path.find_last_of(L"\\/");
  return separator == std::wstring_view::npos ? path : path.substr(separator + 1);
}

// Wine shows a Linux link to a file as the file itself, opens what it points to, and a deletion
// through that handle removes the file it points to, wherever that is. The handle's own name then
// differs from the name opened. (Folders above it may be links or junctions; only the last part
// counts.) A file system that cannot tell the name is taken at its word.
bool HandleNamesAnotherFile(HANDLE handle, std::wstring_view path) {
  std::vector<char> buffer(sizeof(FILE_NAME_INFO) + 32768 * sizeof(WCHAR));
  auto* info = reinterpret_cast<FILE_NAME_INFO*>(buffer.data());
  if (!::GetFileInformationByHandleEx(handle, FileNameInfo, info,
                                      static_cast<DWORD>(buffer.size())))
    return false;
  const std::wstring_view opened = LastComponent(path);
  const std::wstring_view named =
      LastComponent(std::wstring_view(info->FileName, info->FileNameLength / sizeof(WCHAR)));
  return ::CompareStringOrdinal(opened.data(), static_cast<int>(opened.size()), named.data(),
                                static_cast<int>(named.size()), TRUE) != CSTR_EQUAL;
}

// Reads through a handle that its opener keeps.
class HandleReader : public InputFile {
 public:
  explicit HandleReader(HANDLE handle) : handle_(handle) {}
  std::error_code Read(char* buffer, std::size_t size, std::size_t& got) override {
    const DWORD wanted = size > 0x40000000 ? 0x40000000 : static_cast<DWORD>(size);
    DWORD count = 0;
    if (!::ReadFile(handle_, buffer, wanted, &count, nullptr)) return LastError();
    got = count;
    return {};
  }
  std::error_code Stamp(FileStamp& stamp) override { return StampOf(handle_, stamp); }

 private:
  HANDLE handle_;
};

// What may change of a file open for reading: its size and times (the attributes and times can be
// set by anyone, even with writers kept out). Two cheap queries; the volume's serial number, which
// GetFileInformationByHandle asks the volume for, is no part of it.
std::error_code RefreshStamp(HANDLE handle, FileStamp& stamp) {
  FILE_BASIC_INFO basic{};
  FILE_STANDARD_INFO standard{};
  if (!::GetFileInformationByHandleEx(handle, FileBasicInfo, &basic, sizeof basic) ||
      !::GetFileInformationByHandleEx(handle, FileStandardInfo, &standard, sizeof standard))
    return LastError();
  stamp.size = static_cast<std::uint64_t>(standard.EndOfFile.QuadPart);
  stamp.lastWrite = FileTime{basic.LastWriteTime.QuadPart};
  stamp.lastChange = FileTime{basic.ChangeTime.QuadPart};
  return {};
}

// Knows its stamp from the opening: the first Stamp hands that over without asking again, later
// ones ask only for what may have changed, since an open file keeps its volume and index.
class Win32InputFile final : public HandleReader {
 public:
  Win32InputFile(HANDLE handle, const FileStamp& opened)
      : HandleReader(handle), handle_(handle), stamp_(opened) {}
  std::error_code Stamp(FileStamp& stamp) override {
    if (stampAsked_) {
      if (const std::error_code error = RefreshStamp(handle_.get(), stamp_)) return error;
    }
    stampAsked_ = true;
    stamp = stamp_;
    return {};
  }

 private:
  Handle handle_;
  FileStamp stamp_;
  bool stampAsked_ = false;
};

class Win32OutputFile final : public OutputFile {
 public:
  explicit Win32OutputFile(HANDLE handle) : handle_(handle) {}
  std::error_code Write(const char* data, std::size_t size) override {
    if (!handle_.valid()) return LastError(ERROR_INVALID_HANDLE);
    while (size > 0) {
      const DWORD chunk = size > 0x40000000 ? 0x40000000 : static_cast<DWORD>(size);
      DWORD written = 0;
      if (!::WriteFile(handle_.get(), data, chunk, &written, nullptr)) return LastError();
      if (written == 0) return LastError(ERROR_WRITE_FAULT);
      data += written;
      size -= written;
    }
    return {};
  }
  std::error_code Seek(std::uint64_t offset) override {
    if (!handle_.valid()) return LastError(ERROR_INVALID_HANDLE);
    LARGE_INTEGER position{};
    position.QuadPart = static_cast<LONGLONG>(offset);
    if (!::SetFilePointerEx(handle_.get(), position, nullptr, FILE_BEGIN)) return LastError();
    return {};
  }
  std::error_code Flush() override {
    if (!handle_.valid()) return LastError(ERROR_INVALID_HANDLE);
    if (!::FlushFileBuffers(handle_.get())) return LastError();
    return {};
  }
  std::error_code Close() override {
    if (!handle_.valid()) return LastError(ERROR_INVALID_HANDLE);
    if (!::CloseHandle(handle_.release())) return LastError();
    return {};
  }
  std::error_code Stamp(FileStamp& stamp) override {
    if (!handle_.valid()) return LastError(ERROR_INVALID_HANDLE);
    return StampOf(handle_.get(), stamp);
  }

 private:
  Handle handle_;
};

HANDLE OpenShared(const std::wstring& path, DWORD flags) {
  return ::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                       FILE_FLAG_SEQUENTIAL_SCAN | flags, nullptr);
}

}  // namespace
}  // namespace qnd::platform::win32

namespace qnd::platform::handles {
// The body's own helpers above, and its LastError, Widen and Narrow.
using namespace win32;

std::error_code ListFolder(const std::string& folder, std::vector<DirectoryEntry>& entries) {
  WIN32_FIND_DATAW data{};
  const HANDLE find = ::FindFirstFileW(Widen(folder + "*.*").c_str(), &data);
  if (find == INVALID_HANDLE_VALUE) {
    // A drive's root, which has no "." and "..", matches nothing when it is empty.
    if (::GetLastError() != ERROR_FILE_NOT_FOUND) return LastError();
    entries.clear();
    return {};
  }
  std::vector<DirectoryEntry> result;
  do {
    DirectoryEntry entry;
    entry.name = Narrow(data.cFileName);
    entry.attributes = data.dwFileAttributes;
    entry.isLink = IsLink(data.dwFileAttributes, data.dwReserved0);
    if (!(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
      entry.size = Join(data.nFileSizeHigh, data.nFileSizeLow);
    entry.lastWrite = TimeOf(data.ftLastWriteTime);
    result.push_back(std::move(entry));
  } while (::FindNextFileW(find, &data));
  const DWORD error = ::GetLastError();
  ::FindClose(find);
  if (error != ERROR_NO_MORE_FILES) return LastError(error);
  entries = std::move(result);
  return {};
}

std::error_code OpenInputFile(const std::string& path, std::unique_ptr<InputFile>& file) {
  const std::wstring widePath = Widen(path);
  // Opened as itself first, so a link is seen and refused instead of followed.
  Handle handle(OpenShared(widePath, FILE_FLAG_OPEN_REPARSE_POINT));
  if (!handle.valid()) return LastError();
  FileStamp stamp;
  DWORD attributes = 0;
  if (const std::error_code error = StampOf(handle.get(), stamp, &attributes)) return error;
  if (attributes & FILE_ATTRIBUTE_DIRECTORY) return LastError(ERROR_ACCESS_DENIED);
  if (attributes & FILE_ATTRIBUTE_REPARSE_POINT) {
    if (HandleIsLink(handle.get())) return LastError(ERROR_CANT_ACCESS_FILE);
    // Any other reparse point is a file whose data its file-system filter supplies.
    Handle whole(OpenShared(widePath, 0));
    if (!whole.valid()) return LastError();
    if (const std::error_code error = StampOf(whole.get(), stamp)) return error;
    file = std::make_unique<Win32InputFile>(whole.release(), stamp);
    return {};
  }
  file = std::make_unique<Win32InputFile>(handle.release(), stamp);
  return {};
}

std::error_code CreateOutputFile(const std::string& path, std::unique_ptr<OutputFile>& file) {
  const HANDLE handle = ::CreateFileW(Widen(path).c_str(), GENERIC_WRITE | FILE_READ_ATTRIBUTES, 0,
                                      nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return LastError();
  file = std::make_unique<Win32OutputFile>(handle);
  return {};
}

// The check and the deletion go through one handle, so the file deleted is the file checked.
// Without write sharing, a file someone has open for writing is left alone; without delete sharing,
// nobody can move another file to this path while the handle is open.
std::error_code RemoveFileIfStamped(const std::string& path, const FileStamp& stamp,
                                    const FileSystem::ContentCheck& sameContent) {
  const std::wstring widePath = Widen(path);
  // No FILE_WRITE_ATTRIBUTES here: Wine refuses it for a read-only file (Windows grants it).
  Handle handle(::CreateFileW(widePath.c_str(), GENERIC_READ | DELETE | FILE_READ_ATTRIBUTES,
                              FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_FLAG_OPEN_REPARSE_POINT | FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
  if (!handle.valid()) return LastError();
  FileStamp current;
  DWORD attributes = 0;
  if (const std::error_code error = StampOf(handle.get(), current, &attributes)) return error;
  if ((attributes & FILE_ATTRIBUTE_DIRECTORY) ||
      ((attributes & FILE_ATTRIBUTE_REPARSE_POINT) && HandleIsLink(handle.get())) ||
      !(current == stamp) || HandleNamesAnotherFile(handle.get(), widePath))
    return std::make_error_code(std::errc::operation_canceled);
  HandleReader reader(handle.get());
  if (!sameContent(reader)) return std::make_error_code(std::errc::operation_canceled);

  // A read-only file refuses deletion; the shell clears the attribute first, and so does this. The
  // path still names the checked file: the open handle keeps it from being moved or replaced.
  const bool readOnly = attributes & FILE_ATTRIBUTE_READONLY;
  if (readOnly) {
    DWORD writable = attributes & ~FILE_ATTRIBUTE_READONLY;
    if (writable == 0) writable = FILE_ATTRIBUTE_NORMAL;
    if (!::SetFileAttributesW(widePath.c_str(), writable)) return LastError();
  }
  FILE_DISPOSITION_INFO disposition{};
  disposition.DeleteFile = TRUE;
  if (!::SetFileInformationByHandle(handle.get(), FileDispositionInfo, &disposition,
                                    sizeof disposition)) {
    const DWORD error = ::GetLastError();
    if (readOnly) ::SetFileAttributesW(widePath.c_str(), attributes);
    return LastError(error);
  }
  return {};
}

// Windows refuses to replace a read-only file; Wine does not, so it is asked here.
std::error_code RenameFile(const std::string& from, const std::string& to) {
  const DWORD existing = ::GetFileAttributesW(Widen(to).c_str());
  if (existing != INVALID_FILE_ATTRIBUTES && (existing & FILE_ATTRIBUTE_READONLY))
    return LastError(ERROR_ACCESS_DENIED);
  if (!::MoveFileExW(Widen(from).c_str(), Widen(to).c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
    return LastError();
  return {};
}

std::error_code RemoveEmptyFolder(const std::string& path) {
  const std::wstring widePath = Widen(path);
  const DWORD attributes = ::GetFileAttributesW(widePath.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return LastError();
  if (!(attributes & FILE_ATTRIBUTE_DIRECTORY) || (attributes & FILE_ATTRIBUTE_REPARSE_POINT))
    return LastError(ERROR_DIRECTORY);
  // A read-only folder refuses removal; the attribute comes back when the folder stays.
  const bool readOnly = attributes & FILE_ATTRIBUTE_READONLY;
  if (readOnly && !::SetFileAttributesW(widePath.c_str(), attributes & ~FILE_ATTRIBUTE_READONLY))
    return LastError();
  if (!::RemoveDirectoryW(widePath.c_str())) {
    const DWORD error = ::GetLastError();
    if (readOnly) ::SetFileAttributesW(widePath.c_str(), attributes);
    return LastError(error);
  }
  return {};
}

}  // namespace qnd::platform::handles
