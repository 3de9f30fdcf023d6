// The built QNDUpdater as a user runs it: a release-8 installation in a temporary folder, the
// installer's registration of it in the system registry, and the window answered with the keyboard.
// The prefix is 64-bit: the 32-bit build runs under WOW64 there, as on most schools' PCs, and finds
// the registration only because it asks for the 64-bit view.
#include <gtest/gtest.h>

#include <memory>

#include "local_updater/install_lookup.h"
#include "platform/paths.h"
#include "tests/gui/win32_installer_registration.h"
#include "tests/gui/win32_run_support.h"
#include "tests/support/install_tree.h"
#include "tests/support/temp_dir.h"

namespace qnd::test {
namespace {

class LocalUpdaterRunTest : public testing::Test {
 protected:
  void SetUp() override {
    for (const char* productCode : local::kProductCodes) {
      if (RemoveLeftoverRegistration(local::ProductCodeKey(productCode)) == Leftover::Foreign) {
        GTEST_SKIP() << "this system has a real registration of product code " << productCode;
      }
    }
  }

  // The registration of release 8.x, the first key the program tries, in `view`.
  void Register(RegistryView view = RegistryView::Bits64) {
    registration_ = std::make_unique<ScopedInstallerRegistration>(
        local::ProductCodeKey(local::kProductCodes[0]),
        installation_.installDir + platform::kPathSeparator, view);
  }

  // Starts the program and presses Enter ("Weiter") in its window.
  void StartAndPressWeiter() {
    process_ = std::make_unique<ChildProcess>(WindowsPath(QND_LOCAL_UPDATER_EXE));
    ASSERT_TRUE(process_->Started());
    const HWND window = process_->WaitForWindow(nullptr, L"Quendra-Updater");
    ASSERT_NE(window, nullptr) << "the window did not appear";
    PressKey(window, VK_RETURN);
  }

  TempDir root_;
  const SampleInstallation installation_{root_};
  std::unique_ptr<ScopedInstallerRegistration> registration_;
  std::unique_ptr<ChildProcess> process_;
};

TEST_F(LocalUpdaterRunTest, CompleteRun) {
  BOOL wow64 = FALSE;
  ASSERT_TRUE(::IsWow64Process(::GetCurrentProcess(), &wow64));
  EXPECT_EQ(wow64 != FALSE, sizeof(void*) == 4) << "a 32-bit program runs under WOW64 here";
  Register(RegistryView::Bits64);
  const Tree installDir = Snapshot(installation_.installDir);
  const SYSTEMTIME start = LocalNow();
  ASSERT_NO_FATAL_FAILURE(StartAndPressWeiter());
  EXPECT_EQ(process_->WaitForExit(), 0u);

  ExpectDataBackedUp(installation_);
  ExpectResultFile(installation_, "8.2.0.15", start);
  EXPECT_EQ(Snapshot(installation_.installDir), installDir) << "the installation stays as it is";
}

// Where a 32-bit program's own keys go by default (Wow6432Node) is not where the installer
// registers: the program reports that it cannot find the installation.
TEST_F(LocalUpdaterRunTest, RegistrationOnlyInThe32BitViewIsNotFound) {
  Register(RegistryView::Bits32);
  const Tree before = Snapshot(root_.Path());
  ASSERT_NO_FATAL_FAILURE(StartAndPressWeiter());
  AnswerBox(*process_, L"Fehler",
            "Das Installationsverzeichnis von Quendra konnte nicht ermittelt werden!\n"
            "Das Update wird abgebrochen!",
            VK_RETURN);
  EXPECT_EQ(process_->WaitForExit(), 1u);
  EXPECT_EQ(Snapshot(root_.Path()), before) << "nothing may be written";
}

struct RefusedVersion {
  const char* name;
  int version[4];  // {-1}: no program file
};

class RefusedVersionTest : public LocalUpdaterRunTest,
                           public testing::WithParamInterface<RefusedVersion> {};

TEST_P(RefusedVersionTest, BoxAndExitCodeOneWithNothingWritten) {
  Register();
  const int* version = GetParam().version;
  if (version[0] < 0) {
    installation_.RemoveFile(installation_.installDir + platform::kPathSeparator + "Quendra.EXE");
  } else {
    installation_.SetProgramVersion(version[0], version[1], version[2], version[3]);
  }
  const Tree before = Snapshot(root_.Path());
  ASSERT_NO_FATAL_FAILURE(StartAndPressWeiter());
  AnswerBox(*process_, L"Fehler",
            "Für ein Update muss die Version 8 installiert sein!\n"
            "Bitte führen Sie zuerst ein Update auf diese Version durch!\n"
            "Dieses Update wird abgebrochen!",
            VK_RETURN);
  EXPECT_EQ(process_->WaitForExit(), 1u);
  EXPECT_EQ(Snapshot(root_.Path()), before) << "nothing may be written";
}

// Release 10's version text begins with "1"; a missing program reads as "0.0.0.0".
INSTANTIATE_TEST_SUITE_P(Versions, RefusedVersionTest,
                         testing::Values(RefusedVersion{"Release7", {7, 1, 0, 3}},
                                         RefusedVersion{"Release10", {10, 0, 0, 0}},
                                         RefusedVersion{"NoProgram", {-1}}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace qnd::test
