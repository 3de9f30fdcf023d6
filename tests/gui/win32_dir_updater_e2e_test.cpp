// The built QNDUpdaterP2 as a user runs it: a release-8 installation in a temporary folder named on
// the raw command line, the gate's boxes, and the window answered with the keyboard. The program's
// temporary folder, where the archive and the parked start file stay, lies in the test's folder.
#include <gtest/gtest.h>
#include <shlobj.h>

#include <memory>

#include "platform/paths.h"
#include "platform/win32/wide.h"
#include "tests/dir_updater/zip_reader.h"
#include "tests/gui/win32_drive_letter.h"
#include "tests/gui/win32_run_support.h"
#include "tests/support/install_tree.h"
#include "tests/support/scoped_variable.h"
#include "tests/support/temp_dir.h"
#include "tests/support/version_data.h"

namespace qnd::test {
namespace {

using platform::win32::Widen;
const std::string kSep(1, platform::kPathSeparator);

constexpr char kConfirmation[] =
    "Im angegebenen Verzeichnis wurde eine updatefähige Quendra-Version gefunden,\n"
    "die nicht über diesen PC installiert wurde.\n"
    "Soll die Update-Installation fortgestzt werden?";

class DirUpdaterRunTest : public testing::Test {
 protected:
  DirUpdaterRunTest() { root_.MakeDir("Temp"); }

  // The program started with `arguments` after its own path, as they stand on the command line.
  void Start(const std::string& arguments) {
    process_ = std::make_unique<ChildProcess>(WindowsPath(QND_DIR_UPDATER_EXE), Widen(arguments));
    ASSERT_TRUE(process_->Started());
  }

  TempDir root_;
  const ScopedVariable temporaryFolder_{TemporaryFolderVariable(), root_ / "Temp"};
  std::unique_ptr<ChildProcess> process_;
};

// The target "Programme\Quendra Neu" holds release 7.3.0.9, which the gate refuses with its version
// in the box; "Programme\Quendra", where the first word alone would lead, holds release 8. The box
// thus shows which directory the joined arguments named.
struct Arguments {
  const char* name;
  const char* format;  // %s: the folder "Programme"
};

class ArgumentsTest : public DirUpdaterRunTest, public testing::WithParamInterface<Arguments> {};

TEST_P(ArgumentsTest, ReachTheProgramAsOneDirectory) {
  const SampleInstallation decoy(root_);
  const SampleInstallation target(root_, "Programme/Quendra Neu");
  target.SetProgramVersion(7, 3, 0, 9);
  const std::string programme = root_ / "Programme";
  std::string arguments = GetParam().format;
  arguments.replace(arguments.find("%s"), 2, programme);

  ASSERT_NO_FATAL_FAILURE(Start(arguments));
  AnswerBox(
      *process_, L"Fehler",
      "Im angegebenen Verzeichnis wurde eine NICHT updatefähige Quendra - Version 7.3.0.9 "
      "gefunden,\ndie nicht über diesen PC installiert wurde.\nDieses Update wird abgebrochen!",
      VK_RETURN);
  EXPECT_EQ(process_->WaitForExit(), 1u);
}

// A backslash is a plain character, so one before a closing quote does not keep the quote.
INSTANTIATE_TEST_SUITE_P(
    CommandLines, ArgumentsTest,
    testing::Values(Arguments{"UnquotedWithTrailingSeparator", R"(%s\Quendra Neu\)"},
                    Arguments{"SeveralBlanksBetweenWords", "%s\\Quendra   \t Neu"},
                    Arguments{"QuotedWithTrailingSeparator", R"("%s\Quendra Neu\")"},
                    Arguments{"QuotesInsideTheArgument", R"(%s\"Quendra Neu"\)"},
                    Arguments{"EmptyPairsAndQuotedWords", R"("" %s\Quendra "Neu" "")"}),
    [](const auto& info) { return std::string(info.param.name); });

// The gate's outcomes before the window appears; none of them touches the installation.
struct GateCase {
  const char* name;
  int version[4];        // {-1}: no program file
  bool driveRoot;        // the installation is named as the root of a drive of its own
  const wchar_t* title;  // the box, or null for none
  const char* text;      // for a drive root: %s is the drive ("Q:")
  WORD key;
  DWORD exitCode;
};

class GateTest : public DirUpdaterRunTest, public testing::WithParamInterface<GateCase> {};

TEST_P(GateTest, BoxAndExitCode) {
  const GateCase& gate = GetParam();
  const SampleInstallation installation(root_);
  if (gate.version[0] < 0) {
    installation.RemoveFile(installation.installDir + kSep + "Quendra.EXE");
  } else {
    installation.SetProgramVersion(gate.version[0], gate.version[1], gate.version[2],
                                   gate.version[3]);
  }
  std::string target = installation.installDir, text = gate.text ? gate.text : "";
  std::unique_ptr<ScopedDriveLetter> drive;
  if (gate.driveRoot) {
    drive = std::make_unique<ScopedDriveLetter>(installation.installDir);
    if (drive->Root().empty()) GTEST_SKIP() << "no free drive letter could be mapped";
    target = drive->Root();
    text.replace(text.find("%s"), 2, target.substr(0, 2));
  }
  const Tree before = Snapshot(root_.Path());

  ASSERT_NO_FATAL_FAILURE(Start("\"" + target + "\""));
  if (gate.title) AnswerBox(*process_, gate.title, text, gate.key);
  EXPECT_EQ(process_->WaitForExit(), gate.exitCode);
  EXPECT_EQ(Snapshot(root_.Path()), before) << "nothing may be touched";
}

constexpr char kRelease9[] =
    "Im angegebenen Verzeichnis existiert bereits ein Quendra der Version 9!\n"
    "Das Update wird abgebrochen!";
constexpr char kUnknownRelease[] =
    "Im angegebenen Verzeichnis existiert eine unbekannte Quendra-Version!\n"
    "Bitte entfernen Sie zuerst diese Version!\nDas Update wird abgebrochen!";
constexpr char kRelease6[] =
    "Im angegebenen Verzeichnis wurde eine NICHT updatefähige Quendra - Version 6.0.0.1 gefunden,\n"
    "die nicht über diesen PC installiert wurde.\nDieses Update wird abgebrochen!";
// The archive and the deletion would cover the whole drive.
constexpr char kDriveRoot[] =
    "Das angegebene Verzeichnis %s ist das Stammverzeichnis eines Laufwerks.\n"
    "Eine Quendra-Installation dort kann nicht aktualisiert werden.\nDas Update wird abgebrochen!";

const GateCase kGateCases[] = {
    {"NoProgram", {-1}, false, nullptr, nullptr, 0, 0},
    {"Release9", {9, 0, 0, 0}, false, L"Fehler", kRelease9, VK_RETURN, 1},
    {"Release10", {10, 0, 0, 0}, false, L"Fehler", kUnknownRelease, VK_RETURN, 1},
    {"Release6", {6, 0, 0, 1}, false, L"Fehler", kRelease6, VK_RETURN, 1},
    {"DriveRoot", {8, 2, 0, 15}, true, L"Fehler", kDriveRoot, VK_RETURN, 1},
    // "N" chooses "&Nein" by its mnemonic.
    {"ConfirmationAnsweredNein", {8, 2, 0, 15}, false, L"Bestätigen", kConfirmation, 'N', 1},
};

INSTANTIATE_TEST_SUITE_P(Outcomes, GateTest, testing::ValuesIn(kGateCases),
                         [](const auto& info) { return std::string(info.param.name); });

// The text of `window`'s log pane, the rich edit among its children.
std::string LogText(HWND window) {
  for (const HWND child : Children(window)) {
    const std::wstring name = ClassName(child);
    if (::lstrcmpiW(name.c_str(), L"RICHEDIT50W") == 0 ||
        ::lstrcmpiW(name.c_str(), L"RichEdit20W") == 0)
      return platform::win32::Narrow(WindowText(child));
  }
  return {};
}

// Esc during the run, when "Weiter" is disabled, ends the process in the middle of the run at the
// next event processing, with 1; the run writes no result file.
TEST_F(DirUpdaterRunTest, EscDuringTheRunEndsItWithOne) {
  const SampleInstallation installation(root_);
  ASSERT_NO_FATAL_FAILURE(Start("\"" + installation.installDir + "\""));
  AnswerBox(*process_, L"Bestätigen", kConfirmation, VK_RETURN);
  const HWND window = process_->WaitForWindow(nullptr, L"Quendra Updater");
  ASSERT_NE(window, nullptr) << "the window did not appear";
  PressKey(window, VK_RETURN);
  ASSERT_TRUE(WaitUntil([&] {
    return LogText(window).find("Benutzeranzahl - OK") != std::string::npos;
  })) << "the run did not start";
  PressKey(window, VK_ESCAPE);
  EXPECT_EQ(process_->WaitForExit(), 1u);
  const std::string resultFile = installation.iniDir + "001" + kSep + "QND_6_7_8_Update.ini";
  EXPECT_EQ(::GetFileAttributesW(Widen(resultFile).c_str()), INVALID_FILE_ATTRIBUTES)
      << "no result file";
}

// A release-8 program in the system's folder for programs: refused before the question, with the
// folder in the box, and the folder keeps what it holds.
TEST_F(DirUpdaterRunTest, ProgramsFolderIsRefused) {
  wchar_t buffer[MAX_PATH] = {};
  ASSERT_TRUE(::SHGetSpecialFolderPathW(nullptr, buffer, CSIDL_PROGRAM_FILES, FALSE));
  const std::string programs = platform::win32::Narrow(buffer);
  const std::string program = programs + kSep + "Quendra.EXE";
  ASSERT_EQ(::GetFileAttributesW(Widen(program).c_str()), INVALID_FILE_ATTRIBUTES)
      << "a Quendra.EXE of its own stands there";
  WriteFileBytes(program, ProgramWithProductVersion(8, 2, 0, 15));
  const Tree before = Snapshot(programs);

  ASSERT_NO_FATAL_FAILURE(Start("\"" + programs + "\""));
  AnswerBox(*process_, L"Fehler",
            "Das angegebene Verzeichnis " + programs +
                " ist der Ordner, in dem die Programme dieses PCs installiert sind.\n"
                "Eine Quendra-Installation dort kann nicht aktualisiert werden.\n"
                "Das Update wird abgebrochen!",
            VK_RETURN);
  EXPECT_EQ(process_->WaitForExit(), 1u);
  EXPECT_EQ(Snapshot(programs), before);
  ::DeleteFileW(Widen(program).c_str());
}

// The whole run on an installation whose name has a blank, passed unquoted with a trailing
// separator: the directory ends up holding the start file and the archive of everything it held,
// and the data outside it is backed up.
TEST_F(DirUpdaterRunTest, CompleteRun) {
  const SampleInstallation installation(root_, "Programme/Quendra Neu");
  root_.WriteFile("Programme/Quendra Neu/Vorlagen/Zeugnis.qvl", "Vorlage\r\n");
  root_.WriteFile("Programme/Quendra Neu/Hilfe/Handbuch.txt", "Kapitel 1\r\n");
  const Tree before = Snapshot(installation.installDir);
  const SYSTEMTIME start = LocalNow();

  ASSERT_NO_FATAL_FAILURE(Start(installation.installDir + kSep));
  AnswerBox(*process_, L"Bestätigen", kConfirmation, VK_RETURN);
  const HWND window = process_->WaitForWindow(nullptr, L"Quendra Updater");
  ASSERT_NE(window, nullptr) << "the window did not appear";
  PressKey(window, VK_RETURN);
  ASSERT_EQ(process_->WaitForExit(), 0u);

  const Tree after = Snapshot(installation.installDir);
  std::vector<std::string> left;
  for (const auto& [name, kind] : after) left.push_back(name);
  EXPECT_EQ(left, (std::vector<std::string>{"QuendStart.ini", "qndaltinst.zip"}));
  EXPECT_EQ(after.at("QuendStart.ini"), before.at("QuendStart.ini"));

  // Sub-folders first, then the folder's own files, each in the file system's order.
  const std::string archive = ReadFileBytes(installation.installDir + kSep + "qndaltinst.zip");
  std::vector<std::string> names;
  for (const LocalHeader& header : ParseZip(archive).local) {
    names.push_back(header.name);
    std::string file = header.name.substr(header.name.find('\\') + 1);
    for (char& c : file) c = c == '\\' ? '/' : c;
    const auto original = before.find(file);
    ASSERT_NE(original, before.end()) << header.name;
    EXPECT_EQ("file:" + InflateEntry(archive, header), original->second) << header.name;
  }
  EXPECT_EQ(names, (std::vector<std::string>{
                       "Quendra Neu\\Hilfe\\Handbuch.txt", "Quendra Neu\\Vorlagen\\Zeugnis.qvl",
                       "Quendra Neu\\Quendra.EXE", "Quendra Neu\\QuendStart.ini"}));
  EXPECT_EQ(root_.ReadFile("Temp/qndaltinst.zip"), archive);
  EXPECT_EQ("file:" + root_.ReadFile("Temp/QuendStart.ini"), before.at("QuendStart.ini"));

  ExpectDataBackedUp(installation);
  ExpectResultFile(installation, "8.2.0.15", start);
}

}  // namespace
}  // namespace qnd::test
