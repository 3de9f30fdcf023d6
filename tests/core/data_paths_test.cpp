// The product's paths from an installation directory, on real files and ini files in a temporary
// folder, with the registry kept in a map.
#include "core/data_paths.h"

#include <gtest/gtest.h>

#include "core/failure.h"
#include "platform/text.h"
#include "tests/support/fake_registry.h"
#include "tests/support/recording_ui.h"
#include "tests/support/temp_dir.h"

namespace qnd {
namespace {

constexpr char kLocalAppDataError[] =
    "Der Ordner \"All Users\\Anwendungsdaten\" konnte nicht ermittelt werden!\n"
    "Das Update wird abgebrochen!";
constexpr char kDirAppDataError[] =
    "Der Standard-Ordner für Anwendungsdaten konnte nicht ermittelt werden!\n"
    "Das Update wird abgebrochen!";
constexpr char kIniDirError[] =
    "Das Quendra-Inidateiverzeichnis konnte nicht ermittelt werden!\nDas Update wird abgebrochen!";
constexpr char kMainIniError[] =
    "Die Ini-Datei \"quendra.ini\" wurde nicht gefunden!\nDas Update wird abgebrochen!";
constexpr char kDataDirError[] =
    "Das Quendra - Datenverzeichnis konnte nicht ermittelt werden!\nDas Update wird abgebrochen!";

const std::string kSep(1, platform::kPathSeparator);

std::string Utf16LeWithBom(const std::string& text) {
  std::string bytes = "\xFF\xFE";
  for (const char16_t unit : platform::Utf8ToUtf16(text)) {
    bytes += static_cast<char>(unit & 0xFF);
    bytes += static_cast<char>(unit >> 8);
  }
  return bytes;
}

class DataPathsTest : public ::testing::TestWithParam<Program> {
 protected:
  DataPathsTest() : log_(ui_), context_{state_, log_, Platform(), GetParam()} {
    state_.InstallDir = dir_ / "Programme/Quendra";
    dir_.MakeDir("Programme/Quendra");
  }

  platform::Platform Platform() {
    platform::Platform services = platform::SystemPlatform();
    services.registry = &registry_;
    return services;
  }

  void WriteStartFile(const std::string& iniPfad) {
    dir_.WriteFile("Programme/Quendra/QuendStart.ini", "[Setup]\r\nIniPfad=" + iniPfad + "\r\n");
  }
  void WriteMainIni(const std::string& relativeFolder, const std::string& datenverzeichnis) {
    dir_.WriteFile(relativeFolder + "/quendra.ini",
                   "[Setup]\r\nDatenverzeichnis=" + datenverzeichnis + "\r\n");
  }
  void SetCommonAppData(const std::string& folder) {
    registry_.SetString(kShellFoldersKey, "Common AppData", folder);
  }
  bool IsDirUpdater() const { return GetParam() == Program::DirUpdater; }
  // The log lines of a failure: the directory updater records it, the local updater does not.
  std::vector<std::string> FailureLines(const std::string& line) const {
    return IsDirUpdater() ? std::vector<std::string>{line} : std::vector<std::string>{};
  }

  test::TempDir dir_;
  test::FakeRegistry registry_;
  test::RecordingUi ui_;
  ProgressLog log_;
  UpdaterState state_;
  UpdaterContext context_;
};

TEST_P(DataPathsTest, StartFileAndMainIniGiveEveryFolder) {
  const std::string data = dir_ / "Daten/Quendra/Daten/";
  WriteStartFile(dir_ / "Ini/");
  WriteMainIni("Ini", data);

  ASSERT_EQ(ResolveIniDirFromStartFile(context_), kStatusOk);
  ASSERT_EQ(ResolveDataPaths(context_), kStatusOk);

  const std::string root = dir_ / "Daten/Quendra/";
  EXPECT_EQ(state_.IniDir, dir_ / "Ini/");
  EXPECT_EQ(state_.MainIniPath, dir_ / "Ini/quendra.ini");
  EXPECT_EQ(state_.DataDir, data);
  EXPECT_EQ(state_.DataRoot, root);
  EXPECT_EQ(state_.FormsDir, root + "Formulare" + kSep);
  EXPECT_EQ(state_.NkkDir, root + "NKK" + kSep);
  EXPECT_TRUE(ui_.Events().empty());
  EXPECT_TRUE(registry_.Openings().empty()) << "the registry is not needed with a start file";
}

TEST_P(DataPathsTest, Subfolder001HoldsTheMainIni) {
  WriteStartFile(dir_ / "Ini/");
  WriteMainIni("Ini", dir_ / "Ini-falsch/");
  WriteMainIni("Ini/001", dir_ / "Daten/");
  state_.UseSubfolder001 = true;

  ASSERT_EQ(ResolveIniDirFromStartFile(context_), kStatusOk);
  ASSERT_EQ(ResolveDataPaths(context_), kStatusOk);
  EXPECT_EQ(state_.IniDir, dir_ / "Ini/001/");
  EXPECT_EQ(state_.MainIniPath, dir_ / "Ini/001/quendra.ini");
  EXPECT_EQ(state_.DataDir, dir_ / "Daten/");
}

TEST_P(DataPathsTest, EmptyIniPfadFailsEvenWithAllUsersFolder) {
  WriteStartFile("");
  SetCommonAppData(dir_ / "ProgramData");
  EXPECT_NE(ResolveIniDirFromStartFile(context_), kStatusOk);
  EXPECT_EQ(ui_.ErrorTexts(), std::vector<std::string>{kIniDirError});
  EXPECT_EQ(ui_.Lines(), FailureLines("Quendra-Inidateiverzeichnis - Fehler"));
}

TEST_P(DataPathsTest, StartFileWithoutIniPfadKeyFailsTheSameWay) {
  dir_.WriteFile("Programme/Quendra/QuendStart.ini", "[Setup]\r\nAnderes=1\r\n");
  EXPECT_NE(ResolveIniDirFromStartFile(context_), kStatusOk);
  EXPECT_EQ(ui_.ErrorTexts(), std::vector<std::string>{kIniDirError});
}

TEST_P(DataPathsTest, WithoutStartFileTheAllUsersFolderIsUsed) {
  // The registry value ends with a separator: the directory updater drops it, the local updater
  // keeps it and so gets a doubled separator.
  const std::string programData = dir_ / "ProgramData";
  SetCommonAppData(programData + kSep);
  ASSERT_EQ(ResolveIniDirFromStartFile(context_), kStatusOk);

  const std::string tail = "Kalvetto" + kSep + "Quendra" + kSep;
  if (IsDirUpdater()) {
    EXPECT_EQ(state_.CommonAppDataDir, programData);
    EXPECT_EQ(state_.IniDir, programData + kSep + tail);
  } else {
    EXPECT_EQ(state_.CommonAppDataDir, programData + kSep);
    EXPECT_EQ(state_.IniDir, programData + kSep + kSep + tail);
  }
  ASSERT_EQ(registry_.Openings().size(), 1u);
  EXPECT_EQ(registry_.Openings()[0].key, kShellFoldersKey);
  EXPECT_EQ(registry_.Openings()[0].access, platform::kKeyRead);
  EXPECT_TRUE(ui_.Events().empty());
}

TEST_P(DataPathsTest, ReleaseEightLayoutUnderAllUsersFolder) {
  // No start file; release 8 keeps its ini files in "001" below the all-users folder.
  SetCommonAppData(dir_ / "ProgramData");
  dir_.WriteFile("ProgramData/Kalvetto/Quendra/001/quendra.ini",
                 "[Setup]\r\nDatenverzeichnis=" + (dir_ / "D/Quendra/Daten/") + "\r\n");
  state_.UseSubfolder001 = true;
  ASSERT_EQ(ResolveIniDirFromStartFile(context_), kStatusOk);
  ASSERT_EQ(ResolveDataPaths(context_), kStatusOk);
  if (IsDirUpdater()) {
    EXPECT_EQ(state_.MainIniPath, dir_ / "ProgramData/Kalvetto/Quendra/001/quendra.ini");
  }
  EXPECT_EQ(state_.DataRoot, dir_ / "D/Quendra/");
}

TEST_P(DataPathsTest, MissingAllUsersFolderGivesTheProgramsText) {
  const struct {
    const char* name;
    bool keyExists;
    const char* value;  // nullptr: no value
  } cases[] = {
      {"no Shell Folders key", false, nullptr},
      {"no Common Appdata value", true, nullptr},
      {"empty Common Appdata value", true, ""},
  };
  for (const auto& c : cases) {
    test::FakeRegistry registry;
    if (c.keyExists) registry.AddKey(kShellFoldersKey);
    if (c.value) registry.SetString(kShellFoldersKey, "Common Appdata", c.value);
    test::RecordingUi ui;
    ProgressLog log(ui);
    UpdaterState state;
    state.InstallDir = state_.InstallDir;
    UpdaterContext context{state, log, Platform(), GetParam()};
    context.platform.registry = &registry;

    EXPECT_NE(ResolveIniDirFromStartFile(context), kStatusOk) << c.name;
    EXPECT_EQ(ui.ErrorTexts(),
              std::vector<std::string>{IsDirUpdater() ? kDirAppDataError : kLocalAppDataError})
        << c.name;
    EXPECT_EQ(ui.Lines(), FailureLines("CommonAppData - Fehler")) << c.name;
  }
}

TEST_P(DataPathsTest, AllUsersFolderOfWrongTypeRaisesFailure) {
  registry_.SetNonString(kShellFoldersKey, "Common Appdata");
  try {
    ResolveIniDirFromStartFile(context_);
    FAIL() << "no failure raised";
  } catch (const Failure& failure) {
    EXPECT_EQ(failure.Text(), "Ungültiger Datentyp für 'Common Appdata'");
  }
  EXPECT_TRUE(ui_.Events().empty());
}

TEST_P(DataPathsTest, MissingMainIni) {
  WriteStartFile(dir_ / "Ini/");
  dir_.MakeDir("Ini");
  ASSERT_EQ(ResolveIniDirFromStartFile(context_), kStatusOk);
  EXPECT_NE(ResolveDataPaths(context_), kStatusOk);
  EXPECT_EQ(ui_.ErrorTexts(), std::vector<std::string>{kMainIniError});
  EXPECT_EQ(ui_.Lines(), FailureLines("quendra.ini nicht gefunden - Fehler"));
  EXPECT_EQ(state_.MainIniPath, dir_ / "Ini/quendra.ini");
}

TEST_P(DataPathsTest, MainIniWithoutDataFolder) {
  for (const std::string content : {"[Setup]\r\nDatenverzeichnis=\r\n", "[Setup]\r\n", ""}) {
    test::RecordingUi ui;
    ProgressLog log(ui);
    UpdaterState state;
    state.IniDir = dir_ / "Ini/";
    dir_.WriteFile("Ini/quendra.ini", content);
    UpdaterContext context{state, log, Platform(), GetParam()};
    EXPECT_NE(ResolveDataPaths(context), kStatusOk) << content;
    EXPECT_EQ(ui.ErrorTexts(), std::vector<std::string>{kDataDirError}) << content;
    EXPECT_EQ(ui.Lines(), FailureLines("Quendra-Datenverzeichnis - Fehler")) << content;
  }
}

TEST_P(DataPathsTest, DataFolderWithoutTrailingSeparatorStillFindsItsParent) {
  WriteStartFile(dir_ / "Ini/");
  WriteMainIni("Ini", dir_ / "Daten/Quendra/Daten");
  ASSERT_EQ(ResolveIniDirFromStartFile(context_), kStatusOk);
  ASSERT_EQ(ResolveDataPaths(context_), kStatusOk);
  EXPECT_EQ(state_.DataDir, dir_ / "Daten/Quendra/Daten");
  EXPECT_EQ(state_.DataRoot, dir_ / "Daten/Quendra/");
}

TEST_P(DataPathsTest, PathsKeepCharactersOutsideTheAnsiCodePage) {
  // Only a UTF-16 ini file can hold such names; the folders keep every character.
  const std::string ini = dir_ / "Łódź 中文/";
  dir_.WriteFile("Programme/Quendra/QuendStart.ini",
                 Utf16LeWithBom("[Setup]\r\nIniPfad=" + ini + "\r\n"));
  dir_.WriteFile("Łódź 中文/quendra.ini",
                 Utf16LeWithBom("[Setup]\r\nDatenverzeichnis=" + (dir_ / "Dätä 中/Daten/") + "\r\n"));
  ASSERT_EQ(ResolveIniDirFromStartFile(context_), kStatusOk);
  ASSERT_EQ(ResolveDataPaths(context_), kStatusOk);
  EXPECT_EQ(state_.IniDir, ini);
  EXPECT_EQ(state_.DataRoot, dir_ / "Dätä 中/");
}

INSTANTIATE_TEST_SUITE_P(BothPrograms, DataPathsTest,
                         ::testing::Values(Program::LocalUpdater, Program::DirUpdater),
                         [](const ::testing::TestParamInfo<Program>& info) {
                           return info.param == Program::LocalUpdater ? "QNDUpdater"
                                                                      : "QNDUpdaterP2";
                         });

}  // namespace
}  // namespace qnd
