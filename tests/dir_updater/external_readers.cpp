#include "tests/dir_updater/external_readers.h"

#include <gtest/gtest.h>

#include <sstream>

#include "platform/paths.h"
#include "tests/support/host_shell.h"
#include "tests/support/temp_dir.h"

namespace qnd::test {
namespace {

bool Run(const std::string& command) { return RunHostShell(command) == 0; }

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

}  // namespace

// The readers are Linux programs: natively they run beside the tests, under Wine on the Linux side
// beneath it, with the archive's Linux path.
std::vector<ReaderVerdict> ReadWithExternalReaders(const std::string& archive,
                                                   const std::string& scratch) {
  std::vector<ReaderVerdict> verdicts;
  if (HostShellAvailable()) {
    const std::string zip = ShellQuoted(HostPath(archive));
    const std::string out = scratch + platform::kPathSeparator + "reader-output.txt";
    const std::string to = " >" + ShellQuoted(HostPath(out)) + " 2>&1";
    // Names are UTF-8; the readers print them as such only in a UTF-8 locale.
    const std::string env = "LC_ALL=C.UTF-8 PYTHONIOENCODING=utf-8 ";

    if (Run("command -v unzip >/dev/null 2>&1")) {
      ReaderVerdict v;
      v.reader = "unzip";
      v.passed = Run(env + "unzip -tq " + zip + to);
      v.details = ReadFileBytes(out);
      // Debian's unzip shows the names of an MS-DOS archive in its OEM code page, UTF-8 flag or
      // not.
      v.namesAsStored = false;
      if (Run(env + "unzip -Z1 " + zip + to)) v.names = Lines(ReadFileBytes(out));
      verdicts.push_back(v);
    }
    if (Run("command -v python3 >/dev/null 2>&1")) {
      ReaderVerdict v;
      v.reader = "python3 zipfile";
      v.passed = Run(env + "python3 " +
                     ShellQuoted(QND_TEST_SOURCE_DIR "/dir_updater/check_zip.py") + " " + zip + to);
      v.details = ReadFileBytes(out);
      for (const std::string& line : Lines(v.details))
        v.names.push_back(line.substr(0, line.find('\t')));
      verdicts.push_back(v);
    }
    if (Run("command -v bsdtar >/dev/null 2>&1")) {
      ReaderVerdict v;
      v.reader = "bsdtar";
      // libarchive takes the "\\" of a name as the separator that an MS-DOS host wrote.
      v.slashForBackslash = true;
      // Extracting to nowhere makes libarchive check every CRC.
      v.passed = Run(env + "bsdtar -xOf " + zip + " >/dev/null 2>" + ShellQuoted(HostPath(out)));
      v.details = ReadFileBytes(out);
      if (Run(env + "bsdtar -tf " + zip + to)) v.names = Lines(ReadFileBytes(out));
      verdicts.push_back(v);
    }
  }
  // An archive that no reader looked at has not been checked by anyone but ourselves.
  EXPECT_FALSE(verdicts.empty())
      << "no independent ZIP reader ran (unzip, python3 or bsdtar; tools/install_dependencies.sh "
         "installs them)";
  return verdicts;
}

}  // namespace qnd::test
