#include "dir_updater/system_folder_refusal.h"

#include "dir_updater/folder_paths.h"

namespace qnd::dir {
namespace {

std::optional<std::string> What(const std::string& target, const platform::SystemFolder& folder,
                                char separator, bool ignoreCase) {
  using Kind = platform::SystemFolderKind;
  const bool same = SameFolder(target, folder.path, separator, ignoreCase);
  switch (folder.kind) {
    case Kind::System:
      if (WithinFolder(target, folder.path, separator, ignoreCase))
        return "gehört zum Betriebssystem (" + folder.path + ")";
      break;
    case Kind::Programs:
      if (same) return "ist der Ordner, in dem die Programme dieses PCs installiert sind";
      break;
    case Kind::SharedData:
      if (same) return "ist der Ordner der Anwendungsdaten aller Benutzer";
      break;
    case Kind::Profiles:
      if (same) return "ist der Ordner der Benutzerprofile";
      if (DirectlyInside(target, folder.path, separator, ignoreCase))
        return "ist das Profil eines Benutzers";
      break;
    case Kind::Profile:
      if (same) return "ist das Profil eines Benutzers";
      break;
  }
  return std::nullopt;
}

}  // namespace

std::optional<std::string> SystemFolderRefusal(const std::string& targetDir,
                                               const std::vector<platform::SystemFolder>& folders,
                                               char separator, bool ignoreCase) {
  for (const platform::SystemFolder& folder : folders) {
    if (folder.path.empty()) continue;
    if (const std::optional<std::string> what = What(targetDir, folder, separator, ignoreCase)) {
      return "Das angegebene Verzeichnis " + targetDir + " " + *what +
             ".\nEine Quendra-Installation dort kann nicht aktualisiert werden.\n"
             "Das Update wird abgebrochen!";
    }
  }
  return std::nullopt;
}

}  // namespace qnd::dir
