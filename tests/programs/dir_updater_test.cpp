// QNDUpdaterP2 as a user runs it: the command line, the gate before the window appears, "Weiter"
// and the directory run on a release-8 installation in a temporary folder.
#include <gtest/gtest.h>

#include <algorithm>

#include "core/data_paths.h"
#include "dir_updater/haupt.h"
#include "dir_updater/old_install_archive.h"
#include "dir_updater/system_folder_refusal.h"
#include "dir_updater/target_dir.h"
#include "platform/paths.h"
#include "tests/dir_updater/zip_reader.h"
#include "tests/support/fake_registry.h"
#include "tests/support/fake_services.h"
#include "tests/support/install_tree.h"
#include "tests/support/recording_window.h"
#include "tests/support/sample_installation.h"
#include "tests/support/scoped_variable.h"
#include "tests/support/temp_dir.h"

namespace qnd::dir {
namespace {

using Lines = std::vector<std::string>;
const std::string kSep(1, platform::kPathSeparator);

TEST(CommandLineTest, SplittingRules) {
  const struct {
    const char* line;
    Lines arguments;
  } cases[] = {
      {"QNDUpdaterP2.exe", {"QNDUpdaterP2.exe"}},
      {"\"C:\\Prog Files\\QNDUpdaterP2.exe\" D:\\Programme\\Quendra Neu\\",
       {"C:\\Prog Files\\QNDUpdaterP2.exe", "D:\\Programme\\Quendra", "Neu\\"}},
      {"p.exe \"D:\\Programme\\Quendra\\\"", {"p.exe", "D:\\Programme\\Quendra\\"}},
      {"p.exe   a \t b", {"p.exe", "a", "b"}},
      {"p.exe \"\" a", {"p.exe", "a"}},  // an empty quoted pair is no argument
      {"p.exe \"\"\"\" a", {"p.exe", "a"}},
      {"p.exe D:\\\"Pro gramme\"\\Q", {"p.exe", "D:\\Pro gramme\\Q"}},  // quotes toggle anywhere
      {"p.exe a\"\"b", {"p.exe", "ab"}},
      {"p.exe \\\\srv\\share\\", {"p.exe", "\\\\srv\\share\\"}},  // backslashes are plain
      {"p.exe \"open", {"p.exe", "open"}},
      {"p.exe \x01\x1F"
       "a",
       {"p.exe", "a"}},
      {"", {}},
  };
  for (const auto& c : cases) EXPECT_EQ(SplitCommandLine(c.line), c.arguments) << c.line;
}

TEST(CommandLineTest, TargetDirIsTheJoinedArguments) {
  const struct {
    Lines arguments;
    const char* target;
  } cases[] = {
      {{"p"}, ""},
      {{"p", "D:\\Programme\\Quendra", "Neu\\"}, "D:\\Programme\\Quendra Neu"},
      {{"p", "D:\\Programme\\Quendra\\"}, "D:\\Programme\\Quendra"},
      {{"p", "D:\\Q\\\\"}, "D:\\Q\\"},  // one separator goes
      {{"p", "D:\\"}, "D:"},
      {{"p", "a", "", "b"}, "a  b"},
  };
  for (const auto& c : cases) EXPECT_EQ(TargetDirFromArguments(c.arguments, '\\'), c.target);
  EXPECT_EQ(TargetDirFromArguments({"p", "/srv/quendra/"}, '/'), "/srv/quendra");
}

TEST(CommandLineTest, RootsAndEmptyTargets) {
  const struct {
    const char* dir;
    bool root;
  } windows[] = {
      {"", true},
      {"D:", true},
      {"D:\\", true},
      {"\\", true},
      {"D:\\.", true},
      {"D:\\Q\\..", true},
      {"\\\\srv\\share", true},
      {"\\\\srv\\share\\", true},
      {"\\\\?\\D:\\", true},
      {"D:\\Q", false},
      {"D:\\Q\\..\\R", false},
      {"\\\\srv\\share\\Q", false},
      {"\\Programme\\Quendra", false},
      // Windows also takes "/" for a separator.
      {"D:/", true},
      {"//srv/share", true},
      {"\\\\?\\UNC\\srv\\share", true},
      {"D:/Q", false},
      {"\\\\?\\UNC\\srv\\share\\Q", false},
      // Volumes by their names.
      {"\\\\?\\Volume{0b1c2d3e-4f50-6172-8394-a5b6c7d8e9f0}\\", true},
      {"\\\\?\\Volume{0b1c2d3e-4f50-6172-8394-a5b6c7d8e9f0}\\Quendra", false},
      {"\\\\?\\GLOBALROOT\\Device\\HarddiskVolume3\\", true},
      {"\\\\?\\globalroot\\Device\\HarddiskVolume3", true},
      {"\\\\?\\GLOBALROOT\\Device\\HarddiskVolume3\\Quendra", false},
      {"\\\\.\\C:\\", true},
      {"\\\\.\\C:\\Quendra", false},
  };
  for (const auto& c : windows) EXPECT_EQ(IsEmptyOrRoot(c.dir, '\\', 2), c.root) << c.dir;
  const struct {
    const char* dir;
    bool root;
  } posix[] = {{"", true},        {"/", true},       {"//", true},
               {"/srv/..", true}, {"/srv/q", false}, {"//srv", false}};
  for (const auto& c : posix) EXPECT_EQ(IsEmptyOrRoot(c.dir, '/', 0), c.root) << c.dir;
}

TEST(SystemFolderTest, RefusedTargets) {
  using Kind = platform::SystemFolderKind;
  const std::vector<platform::SystemFolder> windows = {
      {Kind::System, "C:\\Windows"},
      {Kind::Programs, "C:\\Program Files"},
      {Kind::Programs, "C:\\Program Files (x86)"},
      {Kind::SharedData, "C:\\ProgramData"},
      {Kind::Profiles, "C:\\Users"},
      {Kind::Profile, "D:\\Profile\\lehrer"},
  };
  const std::string tail =
      ".\nEine Quendra-Installation dort kann nicht aktualisiert werden.\nDas Update wird "
      "abgebrochen!";
  const struct {
    const char* target;
    const char* what;  // null: allowed
  } cases[] = {
      {"C:\\Windows", "gehört zum Betriebssystem (C:\\Windows)"},
      {"c:\\windows\\System32", "gehört zum Betriebssystem (C:\\Windows)"},
      {"C:\\Program Files", "ist der Ordner, in dem die Programme dieses PCs installiert sind"},
      {"C:\\PROGRAM FILES (X86)",
       "ist der Ordner, in dem die Programme dieses PCs installiert sind"},
      {"C:\\ProgramData", "ist der Ordner der Anwendungsdaten aller Benutzer"},
      {"C:\\Users", "ist der Ordner der Benutzerprofile"},
      {"C:\\Users\\Public", "ist das Profil eines Benutzers"},
      {"C:\\Users\\jürgen", "ist das Profil eines Benutzers"},
      {"D:\\Profile\\Lehrer", "ist das Profil eines Benutzers"},
      {"C:\\Program Files\\Quendra", nullptr},
      {"C:\\Program Files (x86)\\Quendra", nullptr},
      {"C:\\ProgramData\\Quendra", nullptr},
      {"C:\\Users\\jürgen\\Quendra", nullptr},
      {"D:\\Profile", nullptr},
      {"C:\\Windows2\\Quendra", nullptr},  // a name that only begins like the system's
  };
  for (const auto& c : cases) {
    const std::optional<std::string> refusal = SystemFolderRefusal(c.target, windows, '\\', true);
    if (c.what) {
      EXPECT_EQ(refusal,
                "Das angegebene Verzeichnis " + std::string(c.target) + " " + c.what + tail)
          << c.target;
    } else {
      EXPECT_EQ(refusal, std::nullopt) << c.target;
    }
  }
  // POSIX matches names with their case.
  const std::vector<platform::SystemFolder> posix = {{Kind::System, "/usr"},
                                                     {Kind::Profiles, "/home"}};
  EXPECT_TRUE(SystemFolderRefusal("/usr/share/quendra", posix, '/', false));
  EXPECT_TRUE(SystemFolderRefusal("/home/lehrer", posix, '/', false));
  EXPECT_FALSE(SystemFolderRefusal("/home/lehrer/quendra", posix, '/', false));
  EXPECT_FALSE(SystemFolderRefusal("/Usr", posix, '/', false));
}

constexpr char kConfirmation[] =
    "Im angegebenen Verzeichnis wurde eine updatefähige Quendra-Version gefunden,\n"
    "die nicht über diesen PC installiert wurde.\n"
    "Soll die Update-Installation fortgestzt werden?";

const Lines kCompleteLog = {
    "Benutzeranzahl - OK",
    "Die vorherige Quendra Installation wird gesichert ...",
    "Quendra Sicherung - OK",
    "Sicherung der Formularkataloge ...",
    "Sicherung Formularkataloge - OK",
    "Sicherung der Formulierungshilfen wird erstellt ...",
    "Sicherung Formulierungshilfen - OK",
    "Sicherung des Fächerkanons wird erstellt ...",
    "Sicherung Fächerkanon - OK",
    "Sicherung der NKK-Dateien wird erstellt ...",
    "Sicherung NKK-Dateien - OK",
};

class DirUpdaterTest : public ::testing::Test {
 public:  // the tables' lambdas change the fixture
  DirUpdaterTest() : installation_(dir_) {
    registry_.SetString(kShellFoldersKey, "Common AppData", dir_ / "ProgramData");
  }

  // FormCreate with `arguments`, then FormShow; the exit code if the gate ended the process.
  std::optional<int> Show(const Lines& arguments) {
    platform::Platform services = platform::SystemPlatform();
    services.registry = &registry_;
    if (shell_) services.shell = shell_.get();
    SaveFunction save = [this](UpdaterContext&, platform::UpdaterWindow&) {
      ++saves_;
      return saveStatus_;
    };
    haupt_ = std::make_unique<TFHaupt>(window_, services, arguments,
                                       realArchive_ ? SaveFunction(SaveQNDInst) : save);
    return test::RunUntilEnd([&] { haupt_->FormShow(); });
  }
  std::optional<int> ShowTarget() { return Show({"QNDUpdaterP2", installation_.installDir}); }
  std::optional<int> Weiter() {
    return test::RunUntilEnd([&] { haupt_->BtWeiterClick(); });
  }

  test::TempDir dir_;
  test::SampleInstallation installation_;
  test::FakeRegistry registry_;
  test::RecordingWindow window_;
  /// Instead of the system's; made before the program and so outliving it, which holds on to it.
  std::unique_ptr<platform::Shell> shell_;
  std::unique_ptr<TFHaupt> haupt_;
  int saves_ = 0;
  Status saveStatus_ = kStatusOk;
  bool realArchive_ = false;  ///< the program's own archive step instead of the counting one
};

TEST_F(DirUpdaterTest, GateOutcomes) {
  const struct {
    const char* name;
    int version[4];  // {-1}: no program
    std::optional<int> exit;
    const char* error;
  } cases[] = {
      {"no program", {-1}, 0, nullptr},
      {"release 6",
       {6, 0, 0, 1},
       1,
       "Im angegebenen Verzeichnis wurde eine NICHT updatefähige Quendra - Version 6.0.0.1 "
       "gefunden,\n"
       "die nicht über diesen PC installiert wurde.\nDieses Update wird abgebrochen!"},
      {"release 7",
       {7, 1, 0, 3},
       1,
       "Im angegebenen Verzeichnis wurde eine NICHT updatefähige Quendra - Version 7.1.0.3 "
       "gefunden,\n"
       "die nicht über diesen PC installiert wurde.\nDieses Update wird abgebrochen!"},
      {"release 9",
       {9, 0, 0, 0},
       1,
       "Im angegebenen Verzeichnis existiert bereits ein Quendra der Version 9!\n"
       "Das Update wird abgebrochen!"},
      {"no version",
       {0, 0, 0, 0},
       1,
       "Im angegebenen Verzeichnis existiert eine unbekannte Quendra-Version!\n"
       "Bitte entfernen Sie zuerst diese Version!\nDas Update wird abgebrochen!"},
      {"release 10",
       {10, 0, 0, 0},
       1,
       "Im angegebenen Verzeichnis existiert eine unbekannte Quendra-Version!\n"
       "Bitte entfernen Sie zuerst diese Version!\nDas Update wird abgebrochen!"},
  };
  for (const auto& c : cases) {
    window_ = test::RecordingWindow();
    if (c.version[0] < 0) {
      installation_.RemoveFile(installation_.installDir + kSep + "Quendra.EXE");
    } else {
      installation_.SetProgramVersion(c.version[0], c.version[1], c.version[2], c.version[3]);
    }
    EXPECT_EQ(ShowTarget(), c.exit) << c.name;
    EXPECT_EQ(window_.ui.ErrorTexts(), c.error ? Lines{c.error} : Lines{}) << c.name;
    EXPECT_TRUE(window_.Notes().empty()) << c.name << ": the window must not appear";
  }
}

// A release-8 program in a folder of the system (here the system's own answer is replaced) is
// refused before the question, and nothing is touched.
TEST_F(DirUpdaterTest, SystemFoldersAreRefusedBeforeTheQuestion) {
  auto shell = std::make_unique<test::ShellWithAppData>();
  shell->systemFolders = {{platform::SystemFolderKind::Programs, installation_.installDir}};
  shell_ = std::move(shell);
  const test::Tree before = test::Snapshot(installation_.installDir);
  EXPECT_EQ(ShowTarget(), 1);
  EXPECT_EQ(window_.ui.ErrorTexts(),
            Lines{"Das angegebene Verzeichnis " + installation_.installDir +
                  " ist der Ordner, in dem die Programme dieses PCs installiert sind.\n"
                  "Eine Quendra-Installation dort kann nicht aktualisiert werden.\n"
                  "Das Update wird abgebrochen!"});
  EXPECT_EQ(window_.ui.Events().size(), 2u) << "no question, only the box and the end";
  EXPECT_EQ(test::Snapshot(installation_.installDir), before);
}

TEST_F(DirUpdaterTest, ReleaseEightAsksFirst) {
  window_.ui.AnswerQuestions({false});
  EXPECT_EQ(ShowTarget(), 1);
  ASSERT_EQ(window_.ui.Events().size(), 2u);  // the question, then the end
  EXPECT_EQ(window_.ui.Events()[0].title, "Bestätigen");
  EXPECT_EQ(window_.ui.Events()[0].text, kConfirmation);
  EXPECT_TRUE(window_.Notes().empty());

  window_ = test::RecordingWindow();
  window_.ui.AnswerQuestions({true});
  EXPECT_EQ(ShowTarget(), std::nullopt);
  EXPECT_TRUE(haupt_->State().UseSubfolder001);
  EXPECT_EQ(haupt_->State().InstalledVersion, "8.2.0.15");
  EXPECT_EQ(window_.Notes().back(), "FocusWeiter") << "compact mode after the confirmation";
}

TEST_F(DirUpdaterTest, ArgumentsWithBlanksArriveWhole) {
  test::SampleInstallation spaced(dir_, "Programme/Quendra Neu");
  window_.ui.AnswerQuestions({true});
  const std::string parent = dir_ / "Programme";
  EXPECT_EQ(Show({"p", parent + kSep + "Quendra", "Neu" + kSep}), std::nullopt);
  EXPECT_EQ(haupt_->State().TargetDir, spaced.installDir);
}

// However the target is written, the gate, the walk and the deletion work on its one full path, so
// every entry name starts with the installation's folder.
TEST_F(DirUpdaterTest, TargetWrittenAnyWayIsItsFullPath) {
  const std::string parent = dir_ / "Programme";
  const test::ScopedCurrentDirectory inParent(parent);
  Lines forms = {"Quendra", "." + kSep + "Quendra" + kSep + kSep,
                 "Quendra" + kSep + ".." + kSep + "Quendra",
                 parent + kSep + kSep + "Quendra" + kSep + kSep};
  if (platform::kDrivePrefixLength > 0) {
    std::string slashes = installation_.installDir;
    std::replace(slashes.begin(), slashes.end(), '\\', '/');
    forms.push_back(slashes);
    forms.push_back(parent.substr(0, 2) + "Quendra");  // the drive's current folder
  }
  for (const std::string& form : forms) {
    window_ = test::RecordingWindow();
    window_.ui.AnswerQuestions({true});
    EXPECT_EQ(Show({"QNDUpdaterP2", form}), std::nullopt) << form;
    EXPECT_EQ(haupt_->State().TargetDir, installation_.installDir) << form;
  }
  {
    // Not a drive's root, but the folder the program was started in.
    const test::ScopedCurrentDirectory inInstallation(installation_.installDir);
    window_ = test::RecordingWindow();
    window_.ui.AnswerQuestions({true});
    EXPECT_EQ(Show({"QNDUpdaterP2", "."}), std::nullopt);
    EXPECT_EQ(haupt_->State().TargetDir, installation_.installDir);
  }

  dir_.MakeDir("Temp");
  test::ScopedVariable temporaryFolder(test::TemporaryFolderVariable(), dir_ / "Temp");
  realArchive_ = true;
  window_ = test::RecordingWindow();
  window_.ui.AnswerQuestions({true});
  ASSERT_EQ(Show({"QNDUpdaterP2", "Quendra"}), std::nullopt);
  ASSERT_EQ(Weiter(), 0);
  const test::Tree after = test::Snapshot(installation_.installDir);
  EXPECT_EQ(after.size(), 2u) << "only the start file and the archive stay";
  for (const auto& [name, bytes] :
       test::ReadCompleteArchive(installation_.installDir + kSep + "qndaltinst.zip"))
    EXPECT_TRUE(name.starts_with("Quendra" + kSep)) << name;
}

TEST_F(DirUpdaterTest, CompleteRun) {
  window_.ui.AnswerQuestions({true});
  ASSERT_EQ(ShowTarget(), std::nullopt);
  ASSERT_EQ(Weiter(), 0);
  EXPECT_EQ(saves_, 1);
  EXPECT_EQ(window_.ui.Lines(), kCompleteLog);
  EXPECT_EQ(window_.ui.Status(), "Sicherung der NKK-Dateien wird erstellt ...");
  int pauses = 0;
  for (const test::UiEvent& event : window_.ui.Events())
    pauses += event.kind == test::UiEvent::Kind::Pause && event.number == 500;
  EXPECT_EQ(pauses, 6);
  const std::string result = installation_.iniDir + "001" + kSep + "QND_6_7_8_Update.ini";
  EXPECT_EQ(platform::SystemProfile().ReadString(result, "Update", "Vorversion", ""), "8.2.0.15");
  EXPECT_EQ(platform::SystemProfile().ReadString(result, "Update", "Erfolg", ""), "0");
}

// The whole run with the program's own archive step: the installation directory ends up holding
// the start file and the archive of every file it held before (a folder that was empty goes too),
// and the data outside it is backed up as in any run.
TEST_F(DirUpdaterTest, CompleteRunEmptiesTheInstallation) {
  dir_.MakeDir("Temp");
  test::ScopedVariable temporaryFolder(test::TemporaryFolderVariable(), dir_ / "Temp");
  dir_.WriteFile("Programme/Quendra/Hilfe/Handbuch.txt", "Kapitel 1\r\n");
  dir_.MakeDir("Programme/Quendra/Vorlagen/Leer");
  const test::Tree before = test::Snapshot(installation_.installDir);
  realArchive_ = true;

  window_.ui.AnswerQuestions({true});
  ASSERT_EQ(ShowTarget(), std::nullopt);
  ASSERT_EQ(Weiter(), 0);
  EXPECT_EQ(window_.ui.Lines(), kCompleteLog);

  const test::Tree after = test::Snapshot(installation_.installDir);
  std::vector<std::string> left;
  for (const auto& [name, kind] : after) left.push_back(name);
  EXPECT_EQ(left, (Lines{"QuendStart.ini", "qndaltinst.zip"}));
  EXPECT_EQ(after.at("QuendStart.ini"), before.at("QuendStart.ini"));

  // Every file of the old installation is in the archive with its bytes, named below the folder
  // around the installation.
  std::map<std::string, std::string> archived;
  for (const auto& [name, bytes] :
       test::ReadCompleteArchive(installation_.installDir + kSep + "qndaltinst.zip"))
    archived[name] = "file:" + bytes;
  std::map<std::string, std::string> expected;
  for (const auto& [name, kind] : before) {
    if (kind.rfind("file:", 0) != 0) continue;
    std::string entry = "Quendra/" + name;
    for (char& c : entry) c = c == '/' ? platform::kPathSeparator : c;
    expected[entry] = kind;
  }
  EXPECT_EQ(archived, expected);

  test::ExpectDataBackedUp(installation_);
}

// Data kept inside the installation directory (as on many network installations) goes into the
// archive with the rest but stays where the backups, the product and its next release expect it:
// the run goes on to its end.
TEST_F(DirUpdaterTest, DataInsideTheInstallationIsArchivedAndStays) {
  dir_.MakeDir("Temp");
  test::ScopedVariable temporaryFolder(test::TemporaryFolderVariable(), dir_ / "Temp");
  const test::SampleInstallation inside(dir_, "Daten/Quendra");
  ASSERT_EQ(inside.dataRoot, inside.installDir + kSep);
  const test::Tree before = test::Snapshot(inside.installDir);
  realArchive_ = true;

  window_.ui.AnswerQuestions({true});
  ASSERT_EQ(Show({"QNDUpdaterP2", inside.installDir}), std::nullopt);
  EXPECT_EQ(Weiter(), 0);
  EXPECT_EQ(window_.ui.Lines(), kCompleteLog);

  const auto archived = test::ReadCompleteArchive(inside.installDir + kSep + "qndaltinst.zip");
  const test::Tree after = test::Snapshot(inside.installDir);
  for (const auto& [name, kind] : before) {
    if (!kind.starts_with("file:")) continue;
    std::string entry = "Quendra/" + name;
    std::replace(entry.begin(), entry.end(), '/', platform::kPathSeparator);
    ASSERT_TRUE(archived.contains(entry)) << name;
    EXPECT_EQ("file:" + archived.at(entry), kind) << name;
    const bool data = name.starts_with("Daten/") || name.starts_with("Formulare/") ||
                      name.starts_with("NKK/") || name.starts_with("Formulierungen/");
    if (data) {
      EXPECT_EQ(after.at(name), kind) << name << " stays";
    } else if (name != "QuendStart.ini") {
      EXPECT_FALSE(after.contains(name)) << name << " goes";
    }
  }
  test::ExpectDataBackedUp(inside);
}

TEST_F(DirUpdaterTest, FailedArchiveIsOnlyLogged) {
  saveStatus_ = kStatusFailed;
  window_.ui.AnswerQuestions({true});
  ASSERT_EQ(ShowTarget(), std::nullopt);
  ASSERT_EQ(Weiter(), 0);
  Lines expected = kCompleteLog;
  expected[2] = "Fehler bei der Sicherung des Alt-Programms";
  EXPECT_EQ(window_.ui.Lines(), expected);
}

TEST_F(DirUpdaterTest, UsersLoggedInLeaveTheInstallationAlone) {
  installation_.SetUserCount("2");
  window_.ui.AnswerQuestions({true});
  ASSERT_EQ(ShowTarget(), std::nullopt);
  EXPECT_EQ(Weiter(), 1);
  EXPECT_EQ(saves_, 0);
  EXPECT_EQ(window_.ui.ErrorTexts(),
            Lines{"Es sind noch Anwender in Quendra angemeldet!\nDas Update wird abgebrochen!"});
  EXPECT_TRUE(window_.ui.Lines().empty());
}

TEST_F(DirUpdaterTest, PathFailuresAreLogged) {
  installation_.RemoveFile(installation_.iniDir + "001" + kSep + "quendra.ini");
  window_.ui.AnswerQuestions({true});
  ASSERT_EQ(ShowTarget(), std::nullopt);
  EXPECT_EQ(Weiter(), 1);
  EXPECT_EQ(window_.ui.Lines(), Lines{"quendra.ini nicht gefunden - Fehler"});
}

TEST_F(DirUpdaterTest, MissingBackupFileEndsAfterItsAnnouncement) {
  installation_.RemoveFile(installation_.dataRoot + "NKK" + kSep + "NKK_Noten.CDX");
  window_.ui.AnswerQuestions({true});
  ASSERT_EQ(ShowTarget(), std::nullopt);
  EXPECT_EQ(Weiter(), 1);
  EXPECT_EQ(window_.ui.Lines().back(), "Sicherung der NKK-Dateien wird erstellt ...");
  EXPECT_FALSE(dir_.Exists("ProgramData/Kalvetto/Quendra/001/QND_6_7_8_Update.ini"));
}

}  // namespace
}  // namespace qnd::dir
