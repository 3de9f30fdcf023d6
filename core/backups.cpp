#include "core/backups.h"

#include <span>

#include "platform/paths.h"

namespace qnd {
namespace {

enum class Folder { Forms, Data, Nkk };

struct DataFile {
  const char* name;
  Folder folder;
};

// The spelling is the product's; backups take it with the prefix.
constexpr DataFile kDataFiles[] = {
    {"Formulare.dbf", Folder::Forms},    {"Formulare.cdx", Folder::Forms},
    {"Beiblaetter.dbf", Folder::Forms},  {"Beiblaetter.cdx", Folder::Forms},
    {"Deckblaetter.dbf", Folder::Forms}, {"Deckblaetter.cdx", Folder::Forms},
    {"FAECHERKANON.dbf", Folder::Data},  {"FaecherKanon.cdx", Folder::Data},
    {"NKK_FAECHER.DBF", Folder::Nkk},    {"NKK_Faecher.CDX", Folder::Nkk},
    {"NKK_NOTEN.DBF", Folder::Nkk},      {"NKK_Noten.CDX", Folder::Nkk},
};

constexpr char kCreateBackupFolderError[] =
    "Das Backup-Verzeichnis konnte nicht erstellt werden\nDas Update wird abgebrochen!";

const std::string& PathOf(const UpdaterState& state, Folder folder) {
  switch (folder) {
    case Folder::Forms:
      return state.FormsDir;
    case Folder::Data:
      return state.DataDir;
    case Folder::Nkk:
      break;
  }
  return state.NkkDir;
}

Status BackUp(UpdaterContext& context, std::span<const DataFile> files) {
  platform::FileSystem& fileSystem = *context.platform.fileSystem;
  for (const DataFile& file : files) {
    const std::string& folder = PathOf(context.state, file.folder);
    // Looked up as the file system spells them, so an existing backup is replaced, not doubled.
    const std::string source = folder + fileSystem.ResolveName(folder, file.name);
    const std::string backup =
        folder + fileSystem.ResolveName(folder, std::string(kBackupPrefix) + file.name);
    if (fileSystem.CopyFileTo(source, backup)) return kStatusFailed;
  }
  return kStatusOk;
}

}  // namespace

Status BackupFormKatalog(UpdaterContext& context) {
  return BackUp(context, std::span(kDataFiles).subspan(0, 6));
}

Status BackupFaecherkanon(UpdaterContext& context) {
  return BackUp(context, std::span(kDataFiles).subspan(6, 2));
}

Status BackupNKK(UpdaterContext& context) {
  return BackUp(context, std::span(kDataFiles).subspan(8, 4));
}

Status BackupFormHilfePfad(UpdaterContext& context) {
  const std::string& root = context.state.DataRoot;
  const std::string backupFolder = root + kBackupPrefix + kFormulationAidsFolder;
  if (context.platform.fileSystem->CreateDirectories(backupFolder)) {
    context.log.ShowError(kCreateBackupFolderError);
    return kStatusFailed;
  }
  return CopyFolder(*context.platform.shell, root + kFormulationAidsFolder + platform::kPathSeparator,
                    backupFolder, false);
}

Status CopyFolder(platform::Shell& shell, const std::string& source, const std::string& target,
                  bool recursive) {
  unsigned flags = platform::kShellNoConfirmation;
  if (!recursive) flags |= platform::kShellFilesOnly | platform::kShellNoRecursion;
  return shell.CopyFiles(source + "*.*", target, flags);
}

}  // namespace qnd
