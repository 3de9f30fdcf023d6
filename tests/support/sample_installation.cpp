#include "tests/support/sample_installation.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <iterator>

#include "platform/file_system.h"
#include "platform/paths.h"
#include "tests/data/data_files.h"
#include "tests/support/version_data.h"

namespace qnd::test {
namespace {

std::string Crlf(std::initializer_list<std::string> lines) {
  std::string text;
  for (const std::string& line : lines) text += line + "\r\n";
  return text;
}

// Distinct content per file, so a backup of the wrong file shows.
std::string TableBytes(const std::string& name) {
  std::string bytes;
  for (int i = 0; i < 300; ++i) bytes += name + ":" + std::to_string(i) + '\x1A' + '\0';
  return bytes;
}

}  // namespace

SampleInstallation::SampleInstallation(const TempDir& root, const std::string& installFolder) {
  const std::string sep(1, platform::kPathSeparator);
  installDir = root / installFolder;
  iniDir = (root / "ProgramData/Kalvetto/Quendra") + sep;
  dataRoot = (root / "Daten/Quendra") + sep;
  dataDir = dataRoot + "Daten" + sep;

  WriteFileBytes(installDir + sep + "QuendStart.ini", Crlf({"[Setup]", "IniPfad=" + iniDir}));
  root.MakeDir("ProgramData/Kalvetto/Quendra/001");
  root.WriteFile("ProgramData/Kalvetto/Quendra/001/quendra.ini",
                 Crlf({"[Setup]", "Datenverzeichnis=" + dataDir, "Schule=Grundschule am See"}));
  root.MakeDir("Daten/Quendra/Daten");
  root.MakeDir("Daten/Quendra/Formulare");
  root.MakeDir("Daten/Quendra/NKK");
  for (const std::string& file : DataFiles())
    root.WriteFile("Daten/Quendra/" + file, TableBytes(file));
  for (const std::string& file : FormulationFiles())
    root.WriteFile("Daten/Quendra/" + file, "Formulierung " + file + "\r\n");
  root.WriteFile("Daten/Quendra/Formulierungen/Unterordner/nicht_kopiert.txt", "bleibt\r\n");
  SetUserCount("0");
  SetProgramVersion(8, 2, 0, 15);
}

const std::vector<std::string>& SampleInstallation::DataFiles() {
  static const std::vector<std::string> files(std::begin(kDataFileList), std::end(kDataFileList));
  return files;
}

const std::vector<std::string>& SampleInstallation::FormulationFiles() {
  static const std::vector<std::string> files = {"Formulierungen/Arbeitsverhalten.txt",
                                                 "Formulierungen/Sozialverhalten.txt"};
  return files;
}

void SampleInstallation::SetUserCount(const std::string& userZahl) const {
  WriteFileBytes(dataDir + "QuendUser.ini", Crlf({"[Benutzer]", "UserZahl=" + userZahl}));
}

void SampleInstallation::SetProgramVersion(int a, int b, int c, int d) const {
  WriteFileBytes(
      installDir + platform::kPathSeparator + "Quendra.EXE",
      ProgramWithProductVersion(static_cast<std::uint16_t>(a), static_cast<std::uint16_t>(b),
                                static_cast<std::uint16_t>(c), static_cast<std::uint16_t>(d)));
}

void SampleInstallation::UseIniFolderWithout001() const {
  namespace fs = std::filesystem;
  const fs::path ini(std::u8string(iniDir.begin(), iniDir.end()));
  fs::rename(ini / "001" / "quendra.ini", ini / "quendra.ini");
  fs::remove_all(ini / "001");
}

void SampleInstallation::RemoveFile(const std::string& path) const {
  std::error_code error;
  ASSERT_TRUE(std::filesystem::remove(
      std::filesystem::path(std::u8string(path.begin(), path.end())), error))
      << path;
}

void ExpectDataBackedUp(const SampleInstallation& installation) {
  const std::string sep(1, platform::kPathSeparator);
  for (std::string file : SampleInstallation::DataFiles()) {
    for (char& c : file) c = c == '/' ? platform::kPathSeparator : c;
    const std::size_t name = file.find(platform::kPathSeparator) + 1;
    const std::string backup = file.substr(0, name) + "QND_Bkp_" + file.substr(name);
    EXPECT_EQ(ReadFileBytes(installation.dataRoot + backup),
              ReadFileBytes(installation.dataRoot + file))
        << backup;
  }
  const std::string copies = installation.dataRoot + "QND_Bkp_Formulierungen" + sep;
  for (const std::string& file : SampleInstallation::FormulationFiles()) {
    const std::string name = file.substr(file.find('/') + 1);
    EXPECT_EQ(ReadFileBytes(copies + name),
              ReadFileBytes(installation.dataRoot + "Formulierungen" + sep + name))
        << name;
  }
  EXPECT_FALSE(platform::SystemFileSystem().EntryExists(copies + "Unterordner"));
}

}  // namespace qnd::test
