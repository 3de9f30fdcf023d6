#include "core/backups.h"

#include "platform/paths.h"

namespace qnd {
namespace {

enum class Folder { Forms, Data, Nkk };

// The backup that takes a file.
enum class Group { FormKatalog, Faecherkanon, Nkk };

struct DataFile {
  Group group;
  Folder folder;
  const char* name;
};

// The spelling is the product's; backups take it with the prefix. Each backup takes its rows by
// group, in this order.
constexpr DataFile kDataFiles[] = {
    {Group::FormKatalog, Folder::Forms, "Formulare.dbf"},
    {Group::FormKatalog, Folder::Forms, "Formulare.cdx"},
    {Group::FormKatalog, Folder::Forms, "Beiblaetter.dbf"},
    {Group::FormKatalog, Folder::Forms, "Beiblaetter.cdx"},
    {Group::FormKatalog, Folder::Forms, "Deckblaetter.dbf"},
    {Group::FormKatalog, Folder::Forms, "Deckblaetter.cdx"},
    {Group::Faecherkanon, Folder::Data, "FAECHERKANON.dbf"},
    {Group::Faecherkanon, Folder::Data, "FaecherKanon.cdx"},
    {Group::Nkk, Folder::Nkk, "NKK_FAECHER.DBF"},
    {Group::Nkk, Folder::Nkk, "NKK_Faecher.CDX"},
    {Group::Nkk, Folder::Nkk, "NKK_NOTEN.DBF"},
    {Group::Nkk, Folder::Nkk, "NKK_Noten.CDX"},
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

Status BackUp(UpdaterContext& context, Group group) {
  platform::FileSystem& fileSystem = *context.platform.fileSystem;
  for (const DataFile& file : kDataFiles) {
    if (file.group != group) continue;
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

Status BackupFormKatalog(UpdaterContext& context) { return BackUp(context, Group::FormKatalog); }

Status BackupFaecherkanon(UpdaterContext& context) { return BackUp(context, Group::Faecherkanon); }

Status BackupNKK(UpdaterContext& context) { return BackUp(context, Group::Nkk); }

Status BackupFormHilfePfad(UpdaterContext& context) {
  const std::string& root = context.state.DataRoot;
  const std::string backupFolder = root + kBackupPrefix + kFormulationAidsFolder;
  if (context.platform.fileSystem->CreateDirectories(backupFolder)) {
    context.log.ShowError(kCreateBackupFolderError);
    return kStatusFailed;
  }
  return CopyFolder(*context.platform.shell,
                    root + kFormulationAidsFolder + platform::kPathSeparator, backupFolder, false);
}

Status CopyFolder(platform::Shell& shell, const std::string& source, const std::string& target,
                  bool recursive) {
  unsigned flags = platform::kShellNoConfirmation;
  if (!recursive) flags |= platform::kShellFilesOnly | platform::kShellNoRecursion;
  return shell.CopyFiles(source + "*.*", target, flags);
}

}  // namespace qnd
