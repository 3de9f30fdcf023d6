// The state of one updater process: one instance, owned by the main window for the life of the process.
// All text is UTF-8; paths keep every character they were given.
#pragma once

#include <string>

namespace qnd {

struct UpdaterState {
  std::string CommonAppDataDir;  ///< the all-users application-data folder
  std::string IniDir;            ///< the product's ini folder ("001" + separator appended when UseSubfolder001)
  std::string DataDir;           ///< the product's data folder (Datenverzeichnis)
  std::string InstallDir;        ///< the installation directory
  std::string DataRoot;          ///< parent folder of DataDir, ending with a separator
  std::string FormsDir;          ///< DataRoot + "Formulare" + separator
  std::string NkkDir;            ///< DataRoot + "NKK" + separator
  std::string MainIniPath;       ///< IniDir + "quendra.ini"
  std::string TargetDir;         ///< directory updater only: the directory from the command line
  std::string InstalledVersion;  ///< product version of the installed executable, as a.b.c.d
  bool UseSubfolder001 = false;  ///< the product keeps its ini files in the subfolder "001"
  int CompactClientHeight = 0;   ///< directory updater only: client height of the compact window
};

}  // namespace qnd
