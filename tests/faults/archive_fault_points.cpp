#include "tests/faults/archive_fault_points.h"

#include "dir_updater/old_install_archive.h"
#include "platform/paths.h"
#include "tests/faults/nothing_lost.h"

namespace qnd::test {
namespace {

using platform::FileCall;
using platform::FileOperation;

const std::string kSep(1, platform::kPathSeparator);

bool Is(const FileCall& call, std::initializer_list<FileOperation> operations) {
  for (const FileOperation operation : operations) {
    if (call.operation == operation) return true;
  }
  return false;
}

const ArchiveFaultPoint kArchiveFaultPoints[] = {
    {"create, write, seek, stamp, flush or close of the new archive",
     [](const FileCall& c, const ArchivePaths& p) {
       return c.path == p.NewArchive() &&
              Is(c, {FileOperation::CreateFile, FileOperation::Write, FileOperation::Seek,
                     FileOperation::Stamp, FileOperation::Flush, FileOperation::Close});
     },
     kStatusFailed, Left::Everything},
    {"its rename to qndaltinst.zip in the temporary folder",
     [](const FileCall& c, const ArchivePaths& p) {
       return Is(c, {FileOperation::Rename}) && c.path == p.NewArchive();
     },
     kStatusFailed, Left::Everything},
    {"listing of a folder of the installation",
     [](const FileCall& c, const ArchivePaths& p) {
       return Is(c, {FileOperation::List}) && p.InInstallation(c.path);
     },
     kStatusFailed, Left::Everything},
    {"deletion of an archived file, or the read of its content check",
     [](const FileCall& c, const ArchivePaths& p) {
       return (Is(c, {FileOperation::Delete}) ||
               (Is(c, {FileOperation::Read}) && c.checkingContent)) &&
              p.InInstallation(c.path) && c.path != p.Copy();
     },
     kStatusOk, Left::AllButFaultedEntry},
    {"open, read or stamp of a file of the installation (archiving)",
     [](const FileCall& c, const ArchivePaths& p) {
       return Is(c, {FileOperation::Open, FileOperation::Read, FileOperation::Stamp}) &&
              p.InInstallation(c.path) && c.path != p.Copy();
     },
     kStatusFailed, Left::Everything},
    {"open, stamp or read of the archive for its copy in the installation",
     [](const FileCall& c, const ArchivePaths& p) {
       return Is(c, {FileOperation::Open, FileOperation::Stamp, FileOperation::Read}) &&
              c.path == p.Archive();
     },
     kStatusFailed, Left::Everything},
    {"create, write, stamp, flush or close of that copy, open or read to verify it",
     [](const FileCall& c, const ArchivePaths& p) {
       return c.path == p.Copy() &&
              Is(c, {FileOperation::CreateFile, FileOperation::Write, FileOperation::Stamp,
                     FileOperation::Flush, FileOperation::Close, FileOperation::Open,
                     FileOperation::Read});
     },
     kStatusFailed, Left::Everything},
    {"copy parking the start file in the temporary folder",
     [](const FileCall& c, const ArchivePaths& p) {
       return Is(c, {FileOperation::Copy}) && c.target == p.ParkedStartFile();
     },
     kStatusFailed, Left::Everything},
    {"removal of an emptied folder",
     [](const FileCall& c, const ArchivePaths& p) {
       return Is(c, {FileOperation::RemoveFolder}) && p.InInstallation(c.path);
     },
     kStatusOk, Left::AllButFaultedEntry},
    {"copy putting the start file back",
     [](const FileCall& c, const ArchivePaths& p) {
       return Is(c, {FileOperation::Copy}) && c.target == p.StartFile();
     },
     kStatusFailed, Left::NoStartFile},
    {"rename of the copy to qndaltinst.zip",
     [](const FileCall& c, const ArchivePaths& p) {
       return Is(c, {FileOperation::Rename}) && c.path == p.Copy();
     },
     kStatusFailed, Left::CopyUnderItsOwnName},
};

}  // namespace

std::string ArchivePaths::Archive() const { return tempFolder + kSep + dir::kArchiveName; }
std::string ArchivePaths::NewArchive() const { return tempFolder + kSep + "qndaltinst.neu.zip"; }
std::string ArchivePaths::Copy() const { return installDir + kSep + "qndaltinst.neu.zip"; }
std::string ArchivePaths::ParkedStartFile() const {
  return tempFolder + kSep + dir::kStartFileName;
}
std::string ArchivePaths::StartFile() const { return installDir + kSep + dir::kStartFileName; }
std::string ArchivePaths::ArchiveCopy() const { return installDir + kSep + dir::kArchiveName; }

bool ArchivePaths::InInstallation(const std::string& path) const {
  return path.rfind(installDir + kSep, 0) == 0;
}

std::string ArchivePaths::Relative(const std::string& path) const {
  std::string relative = path.substr(installDir.size() + 1);
  while (!relative.empty() && relative.back() == platform::kPathSeparator) relative.pop_back();
  for (char& c : relative) c = c == platform::kPathSeparator ? '/' : c;
  return relative;
}

const ArchiveFaultPoint* FindArchiveFaultPoint(const platform::FileCall& call,
                                               const ArchivePaths& paths) {
  for (const ArchiveFaultPoint& point : kArchiveFaultPoints) {
    if (point.matches(call, paths)) return &point;
  }
  return nullptr;
}

std::set<std::string> NamesOf(const Tree& tree) {
  std::set<std::string> names;
  for (const auto& [name, kind] : tree) names.insert(name);
  return names;
}

std::set<std::string> ExpectedNames(const ArchiveFaultPoint& point, const platform::FileCall& call,
                                    const ArchivePaths& paths, const Tree& before) {
  if (point.left == Left::Everything) return NamesOf(before);
  std::set<std::string> names = {dir::kStartFileName, dir::kArchiveName};
  switch (point.left) {
    case Left::AllButFaultedEntry:
      for (const std::string& name : WithFolders(paths.Relative(call.path))) names.insert(name);
      break;
    case Left::NoStartFile:
      names.erase(dir::kStartFileName);
      break;
    case Left::CopyUnderItsOwnName:
      names.erase(dir::kArchiveName);
      names.insert("qndaltinst.neu.zip");
      break;
    case Left::Everything:
      break;
  }
  return names;
}

}  // namespace qnd::test
