// Backups of the product's data files beside the originals, named with the prefix "QND_Bkp_": the
// form catalogs in FormsDir, the subject canon in DataDir, the NKK tables in NkkDir, and the folder
// of form phrasings in DataRoot. A later run replaces the backups of an earlier one.
#pragma once

#include <string>

#include "core/status.h"
#include "core/updater_context.h"
#include "platform/shell.h"

namespace qnd {

inline constexpr char kBackupPrefix[] = "QND_Bkp_";
/// The folder of formulation aids in DataRoot.
inline constexpr char kFormulationAidsFolder[] = "Formulierungen";

/// Each of the three copies its group's files in order, file to backup with the semantics of
/// FileSystem::CopyFileTo, and stops at the first copy that fails: 1 then, 0 when all are copied.
/// They show nothing; the caller reports a failure.
Status BackupFormKatalog(UpdaterContext& context);   ///< Formulare, Beiblaetter, Deckblaetter
Status BackupFaecherkanon(UpdaterContext& context);  ///< FAECHERKANON
Status BackupNKK(UpdaterContext& context);           ///< NKK_FAECHER, NKK_NOTEN

/// Copies the files directly inside DataRoot's "Formulierungen" into "QND_Bkp_Formulierungen"
/// beside it. A backup folder that cannot be created is shown in an error box and gives 1;
/// otherwise the result of CopyFolder, whose failures the shell has shown itself.
Status BackupFormHilfePfad(UpdaterContext& context);

/// Copies the folder `source` (ending with a separator) into the folder `target` through the shell:
/// only the files directly inside unless `recursive`, existing files replaced without asking.
/// Returns the shell's result code, 0 for success; an empty `source` gives 0, a missing one
/// platform::kShellPathNotFound, and paths too long for the shell platform::kShellPathTooLong.
Status CopyFolder(platform::Shell& shell, const std::string& source, const std::string& target,
                  bool recursive);

}  // namespace qnd
