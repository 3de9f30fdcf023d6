// QNDUpdater as a user runs it: its window (recorded), "Weiter", and the whole local run on a
// release-8 installation in a temporary folder, with the installer's registration in a map.
#include <gtest/gtest.h>

#include "core/data_paths.h"
#include "local_updater/haupt.h"
#include "local_updater/install_lookup.h"
#include "platform/paths.h"
#include "tests/support/fake_registry.h"
#include "tests/support/fake_services.h"
#include "tests/support/recording_window.h"
#include "tests/support/sample_installation.h"
#include "tests/support/temp_dir.h"

namespace qnd::local {
namespace {

using Lines = std::vector<std::string>;
const std::string kSep(1, platform::kPathSeparator);

constexpr char kInstallDirError[] =
    "Das Installationsverzeichnis von Quendra konnte nicht ermittelt werden!\n"
    "Das Update wird abgebrochen!";
constexpr char kVersionError[] =
    "Für ein Update muss die Version 8 installiert sein!\n"
    "Bitte führen Sie zuerst ein Update auf diese Version durch!\n"
    "Dieses Update wird abgebrochen!";

const Lines kCompleteLog = {
    "Quendra-Datenpfad - OK",
    "Quendra-Version - OK",
    "Benutzeranzahl - OK",
    "Sicherung der Formularkataloge ...",
    "Sicherung Formularkataloge - OK",
    "Sicherung der Formulierungshilfen wird erstellt ...",
    "Sicherung Formulierungshilfen - OK",
    "Sicherung des Fächerkanons wird erstellt ...",
    "Sicherung Fächerkanon - OK",
    "Sicherung der NKK-Dateien wird erstellt ...",
    "Sicherung NKK-Dateien - OK",
};

class LocalUpdaterTest : public ::testing::Test {
 public:  // the tables' lambdas change the fixture
  LocalUpdaterTest() : installation_(dir_) {
    Register(3, installation_.installDir + kSep);
    registry_.SetString(kShellFoldersKey, "Common AppData", dir_ / "ProgramData");
    shell_.localAppData = dir_ / "AppData/Local";
  }

  // The installer's registration of the release with product code `index`.
  void Register(std::size_t index, const std::string& installLocation) {
    registry_.SetString(ProductCodeKey(kProductCodes[index]), "InstallLocation", installLocation);
  }

  // Shows the window, presses "Weiter" and returns the exit code (none: the window stays open).
  std::optional<int> Run() {
    platform::Platform services = platform::SystemPlatform();
    services.registry = &registry_;
    services.process = &process_;
    services.shell = &shell_;
    haupt_ = std::make_unique<TFHaupt>(window_, services);
    haupt_->FormShow();
    return test::RunUntilEnd([&] { haupt_->BtWeiterClick(); });
  }

  std::string ResultFile() const {
    return installation_.iniDir + "001" + kSep + "QND_6_7_8_Update.ini";
  }

  test::TempDir dir_;
  test::SampleInstallation installation_;
  test::FakeRegistry registry_;
  test::FakeProcessInfo process_;
  test::ShellWithAppData shell_;
  test::RecordingWindow window_;
  std::unique_ptr<TFHaupt> haupt_;
};

TEST_F(LocalUpdaterTest, CompleteRun) {
  ASSERT_EQ(Run(), 0);
  EXPECT_EQ(window_.ui.Lines(), kCompleteLog);
  EXPECT_EQ(window_.ui.Status(), "Sicherung der NKK-Dateien wird erstellt ...");
  EXPECT_TRUE(window_.ui.ErrorTexts().empty());

  int pauses = 0;
  for (const test::UiEvent& event : window_.ui.Events())
    pauses += event.kind == test::UiEvent::Kind::Pause && event.number == 500;
  EXPECT_EQ(pauses, 5);

  test::ExpectDataBackedUp(installation_);

  platform::Profile& profile = platform::SystemProfile();
  EXPECT_EQ(profile.ReadString(ResultFile(), "Update", "Erfolg", ""), "0");
  EXPECT_EQ(profile.ReadString(ResultFile(), "Update", "Vorversion", ""), "8.2.0.15");
  EXPECT_FALSE(profile.ReadString(ResultFile(), "Update", "Datum", "").empty());
  EXPECT_FALSE(profile.ReadString(ResultFile(), "Update", "Uhrzeit", "").empty());
  EXPECT_EQ(window_.Notes().front(), "BringToFront");
}

TEST_F(LocalUpdaterTest, FirstRegistrationThatOpensWins) {
  // Only the fourth key exists (set up by the fixture): the earlier three are tried and skipped.
  ASSERT_EQ(Run(), 0);
  ASSERT_GE(registry_.Openings().size(), 4u);
  for (std::size_t i = 0; i < 4; ++i) {
    EXPECT_EQ(registry_.Openings()[i].key, ProductCodeKey(kProductCodes[i]));
    EXPECT_EQ(registry_.Openings()[i].access, 0x20019u);
  }
}

TEST_F(LocalUpdaterTest, UnderWow64TheRegistrationIsReadInThe64BitView) {
  process_.wow64 = platform::Wow64::Yes;
  ASSERT_EQ(Run(), 0);
  EXPECT_EQ(registry_.Openings()[0].access, 0x20119u);
}

TEST_F(LocalUpdaterTest, FailuresBeforeTheVersionEndWithOne) {
  const struct {
    const char* name;
    std::function<void(LocalUpdaterTest&)> damage;
    const char* error;
  } cases[] = {
      {"no registration", [](LocalUpdaterTest& t) { t.registry_ = test::FakeRegistry(); },
       kInstallDirError},
      {"registration without InstallLocation",
       [](LocalUpdaterTest& t) {
         t.registry_ = test::FakeRegistry();
         t.registry_.AddKey(ProductCodeKey(kProductCodes[0]));
       },
       kInstallDirError},
      {"empty InstallLocation", [](LocalUpdaterTest& t) { t.Register(0, ""); }, kInstallDirError},
      {"start file without IniPfad",
       [](LocalUpdaterTest& t) {
         test::WriteFileBytes(t.installation_.installDir + kSep + "QuendStart.ini", "[Setup]\r\n");
       },
       "Das Quendra-Inidateiverzeichnis konnte nicht ermittelt werden!\nDas Update wird "
       "abgebrochen!"},
      {"no start file and no all-users folder",
       [](LocalUpdaterTest& t) {
         t.installation_.RemoveFile(t.installation_.installDir + kSep + "QuendStart.ini");
         t.registry_.SetString(kShellFoldersKey, "Common AppData", "");
       },
       "Der Ordner \"All Users\\Anwendungsdaten\" konnte nicht ermittelt werden!\n"
       "Das Update wird abgebrochen!"},
      {"no main ini",
       [](LocalUpdaterTest& t) {
         t.installation_.RemoveFile(t.installation_.iniDir + "001" + kSep + "quendra.ini");
       },
       "Die Ini-Datei \"quendra.ini\" wurde nicht gefunden!\nDas Update wird abgebrochen!"},
  };
  for (const auto& c : cases) {
    LocalUpdaterTest& t = *this;
    t.window_ = test::RecordingWindow();
    t.registry_ = test::FakeRegistry();
    t.Register(3, t.installation_.installDir + kSep);
    t.registry_.SetString(kShellFoldersKey, "Common AppData", dir_ / "ProgramData");
    test::SampleInstallation fresh(dir_);
    c.damage(t);
    EXPECT_EQ(Run(), 1) << c.name;
    EXPECT_EQ(window_.ui.ErrorTexts(), Lines{c.error}) << c.name;
    EXPECT_TRUE(window_.ui.Lines().empty()) << c.name;
  }
}

TEST_F(LocalUpdaterTest, OnlyReleaseEightIsUpdated) {
  const struct {
    int version[4];
    const char* text;
  } cases[] = {{{7, 1, 0, 3}, "7.1.0.3"}, {{9, 0, 0, 0}, "9.0.0.0"}, {{10, 0, 0, 0}, "10.0.0.0"}};
  for (const auto& c : cases) {
    window_ = test::RecordingWindow();
    installation_.SetProgramVersion(c.version[0], c.version[1], c.version[2], c.version[3]);
    EXPECT_EQ(Run(), 1) << c.text;
    EXPECT_EQ(haupt_->State().InstalledVersion, c.text);
    EXPECT_EQ(window_.ui.ErrorTexts(), Lines{kVersionError}) << c.text;
    EXPECT_EQ(window_.ui.Lines(), Lines{"Quendra-Datenpfad - OK"}) << c.text;
  }
}

TEST_F(LocalUpdaterTest, MissingProgramReadsAsNoVersion) {
  installation_.RemoveFile(installation_.installDir + kSep + "Quendra.EXE");
  EXPECT_EQ(Run(), 1);
  EXPECT_EQ(haupt_->State().InstalledVersion, "0.0.0.0");
  EXPECT_EQ(window_.ui.ErrorTexts(), Lines{kVersionError});
}

TEST_F(LocalUpdaterTest, UsersLoggedInStopTheRunUnlessThe001FolderIsUsed) {
  installation_.SetUserCount("3");
  EXPECT_EQ(Run(), 0) << "with the 001 folder the count is not read";
  EXPECT_TRUE(haupt_->State().UseSubfolder001);

  window_ = test::RecordingWindow();
  installation_.UseIniFolderWithout001();
  EXPECT_EQ(Run(), 1);
  EXPECT_FALSE(haupt_->State().UseSubfolder001);
  EXPECT_EQ(window_.ui.ErrorTexts(),
            Lines{"Es sind noch Anwender in Quendra angemeldet!\nDas Update wird abgebrochen!"});
  EXPECT_EQ(window_.ui.Lines(), (Lines{"Quendra-Datenpfad - OK", "Quendra-Version - OK"}));
}

TEST_F(LocalUpdaterTest, StartFileInTheVirtualStore) {
  installation_.RemoveFile(installation_.installDir + kSep + "QuendStart.ini");
  const std::string store =
      VirtualStoreStartFile(shell_.localAppData, installation_.installDir + kSep);
  test::WriteFileBytes(store, "[Setup]\r\nIniPfad=" + installation_.iniDir + "\r\n");
  ASSERT_EQ(Run(), 0) << store;
  EXPECT_EQ(haupt_->State().IniDir, installation_.iniDir + "001" + kSep);
}

TEST_F(LocalUpdaterTest, WithoutStartFileTheAllUsersFolderIsUsed) {
  installation_.RemoveFile(installation_.installDir + kSep + "QuendStart.ini");
  ASSERT_EQ(Run(), 0);
  EXPECT_EQ(haupt_->State().IniDir,
            (dir_ / "ProgramData") + kSep + "Kalvetto" + kSep + "Quendra" + kSep + "001" + kSep);
}

TEST_F(LocalUpdaterTest, MissingBackupFileEndsAfterItsAnnouncement) {
  installation_.RemoveFile(installation_.dataRoot + "NKK" + kSep + "NKK_Noten.CDX");
  EXPECT_EQ(Run(), 1);
  EXPECT_EQ(window_.ui.Lines().back(), "Sicherung der NKK-Dateien wird erstellt ...");
  EXPECT_TRUE(window_.ui.ErrorTexts().empty());
  EXPECT_FALSE(dir_.Exists("ProgramData/Kalvetto/Quendra/001/QND_6_7_8_Update.ini"));
}

TEST_F(LocalUpdaterTest, UnexpectedFailuresKeepTheWindowOpen) {
  const struct {
    const char* name;
    std::function<void(LocalUpdaterTest&)> provoke;
    const char* shown;
  } cases[] = {
      {"InstallLocation of the wrong type",
       [](LocalUpdaterTest& t) {
         t.registry_.SetNonString(ProductCodeKey(kProductCodes[3]), "InstallLocation");
       },
       "Ungültiger Datentyp für 'InstallLocation'"},
      {"WOW64 query fails",
       [](LocalUpdaterTest& t) { t.process_.wow64 = platform::Wow64::QueryFailed; },
       "IsWow64: bad process handle."},
  };
  for (const auto& c : cases) {
    window_ = test::RecordingWindow();
    c.provoke(*this);
    EXPECT_EQ(Run(), std::nullopt) << c.name;
    EXPECT_EQ(window_.ui.ErrorTexts(), Lines{c.shown}) << c.name;
    const auto& notes = window_.Notes();
    ASSERT_GE(notes.size(), 2u) << c.name;
    EXPECT_EQ((Lines{notes.end() - 2, notes.end()}), (Lines{"EnableWeiter", "FocusWeiter"}))
        << c.name;
    process_.wow64 = platform::Wow64::No;
    Register(3, installation_.installDir + kSep);
  }
}

TEST(VirtualStoreTest, PathFromTheInstallationDirectory) {
  const struct {
    const char* appData;
    const char* installDir;
    const char* startFile;
  } cases[] = {
      {"C:\\Users\\Anna\\AppData\\Local", "C:\\Program Files (x86)\\Kalvetto\\Quendra\\",
       "c:\\users\\anna\\appdata\\local\\VirtualStore\\Program Files "
       "(x86)\\Kalvetto\\Quendra\\QuendStart.ini"},
      {"C:\\Users\\ÄNNA\\AppData\\Local\\", "D:\\Q\\",
       "c:\\users\\Änna\\appdata\\local\\VirtualStore\\Q\\QuendStart.ini"},
      // Without a trailing separator the installation directory loses its last character.
      {"C:\\L", "C:\\Kalvetto\\Quendra", "c:\\l\\VirtualStore\\Kalvetto\\Quendr\\QuendStart.ini"},
      // No local application-data folder: the store is at the root of the current drive.
      {"", "C:\\Q\\", "\\VirtualStore\\Q\\QuendStart.ini"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(VirtualStoreStartFile(c.appData, c.installDir, '\\', 2, true), c.startFile);
  // POSIX: no drive, names keep their case.
  EXPECT_EQ(VirtualStoreStartFile("/home/Anna/.local/share", "/opt/Quendra/", '/', 0, false),
            "/home/Anna/.local/share/VirtualStore/opt/Quendra/QuendStart.ini");
}

}  // namespace
}  // namespace qnd::local
