#include "tests/dir_updater/external_readers.h"

#include <cstdlib>
#include <sstream>

#include "tests/support/temp_dir.h"

namespace qnd::test {

#ifdef _WIN32
// The readers are Linux programs; under Windows the byte-level checks stand alone.
std::vector<ReaderVerdict> ReadWithExternalReaders(const std::string&, const std::string&) {
  return {};
}
#else
namespace {

std::string Quoted(const std::string& text) {
  std::string quoted = "'";
  for (char c : text) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return quoted + "'";
}

bool Run(const std::string& command) { return std::system(command.c_str()) == 0; }

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

}  // namespace

std::vector<ReaderVerdict> ReadWithExternalReaders(const std::string& archive,
                                                   const std::string& scratch) {
  std::vector<ReaderVerdict> verdicts;
  const std::string zip = Quoted(archive);
  const std::string out = scratch + "/reader-output.txt";
  const std::string to = " >" + Quoted(out) + " 2>&1";
  // Names are UTF-8; the readers print them as such only in a UTF-8 locale.
  const std::string env = "LC_ALL=C.UTF-8 PYTHONIOENCODING=utf-8 ";

  if (Run("command -v unzip >/dev/null 2>&1")) {
    ReaderVerdict v;
    v.reader = "unzip";
    v.passed = Run(env + "unzip -tq " + zip + to);
    v.details = ReadFileBytes(out);
    // Debian's unzip shows the names of an MS-DOS archive in its OEM code page, UTF-8 flag or not.
    v.namesAsStored = false;
    if (Run(env + "unzip -Z1 " + zip + to)) v.names = Lines(ReadFileBytes(out));
    verdicts.push_back(v);
  }
  if (Run("command -v python3 >/dev/null 2>&1")) {
    ReaderVerdict v;
    v.reader = "python3 zipfile";
    v.passed = Run(env + "python3 " + Quoted(QND_TEST_SOURCE_DIR "/dir_updater/check_zip.py") +
                   " " + zip + to);
    v.details = ReadFileBytes(out);
    for (const std::string& line : Lines(v.details))
      v.names.push_back(line.substr(0, line.find('\t')));
    verdicts.push_back(v);
  }
  if (Run("command -v bsdtar >/dev/null 2>&1")) {
    ReaderVerdict v;
    v.reader = "bsdtar";
    // Extracting to nowhere makes libarchive check every CRC.
    v.passed = Run(env + "bsdtar -xOf " + zip + " >/dev/null 2>" + Quoted(out));
    v.details = ReadFileBytes(out);
    if (Run(env + "bsdtar -tf " + zip + to)) v.names = Lines(ReadFileBytes(out));
    verdicts.push_back(v);
  }
  return verdicts;
}
#endif

}  // namespace qnd::test
