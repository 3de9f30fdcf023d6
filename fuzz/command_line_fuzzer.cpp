// QNDUpdaterP2's target directory comes from its command line, which the calling installer or a
// person writes. Splitting it, joining the arguments and the check that refuses a drive's root
// must hold for any text.
//
// Input: the command line; its last byte chooses Windows paths ("\", drives) or POSIX paths ("/").
#include <fuzzer/FuzzedDataProvider.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "dir_updater/target_dir.h"
#include "fuzz/fuzz_check.h"
#include "platform/paths.h"

namespace {

using Arguments = std::vector<std::string>;

// The characters that are neither separators nor quotes, which the splitter never drops.
std::string Visible(std::string_view text) {
  std::string visible;
  for (const char c : text) {
    if (static_cast<unsigned char>(c) > 32 && c != '"') visible += c;
  }
  return visible;
}

void CheckSplit(const std::string& commandLine, const Arguments& arguments) {
  std::string joined;
  for (const std::string& argument : arguments) {
    QND_FUZZ_CHECK(argument.find_first_of(std::string_view("\"\0", 2)) == std::string::npos);
    joined += argument;
  }
  // The line ends at its first NUL, as the system's command line does.
  const std::string line = commandLine.substr(0, commandLine.find('\0'));
  QND_FUZZ_CHECK(qnd::dir::SplitCommandLine(line) == arguments);
  QND_FUZZ_CHECK(Visible(joined) == Visible(line));

  // Every argument quoted on its own gives the same arguments again; an empty one ("") vanishes.
  std::string quoted;
  Arguments nonEmpty;
  for (const std::string& argument : arguments) {
    if (argument.empty()) continue;
    quoted += " \"" + argument + "\"";
    nonEmpty.push_back(argument);
  }
  QND_FUZZ_CHECK(qnd::dir::SplitCommandLine(quoted) == nonEmpty);
}

void CheckTargetDir(const Arguments& arguments, char separator) {
  std::string joined;
  for (std::size_t i = 1; i < arguments.size(); ++i) joined += (i > 1 ? " " : "") + arguments[i];
  const std::string target = qnd::dir::TargetDirFromArguments(arguments, separator);
  // Only one trailing separator goes.
  if (!joined.empty() && joined.back() == separator) {
    QND_FUZZ_CHECK(target == joined.substr(0, joined.size() - 1));
  } else {
    QND_FUZZ_CHECK(target == joined);
  }
}

void CheckRoot(const std::string& dir, char separator, std::size_t drive) {
  using qnd::dir::IsEmptyOrRoot;
  const std::string sep(1, separator);
  const bool root = IsEmptyOrRoot(dir, separator, drive);
  // "." changes nothing, and a folder that ".." takes back again neither.
  QND_FUZZ_CHECK(IsEmptyOrRoot(dir + sep + ".", separator, drive) == root);
  QND_FUZZ_CHECK(IsEmptyOrRoot(dir + sep + "x" + sep + "..", separator, drive) == root);
  // A folder below a folder that is no root is no root either.
  if (!root) QND_FUZZ_CHECK(!IsEmptyOrRoot(dir + sep + "x", separator, drive));
  // The deepest root is a share, \\server\share; three folders below anything are none.
  QND_FUZZ_CHECK(!IsEmptyOrRoot(dir + sep + "x" + sep + "y" + sep + "z", separator, drive));
}

// A full path made by reading is full, and reading it again changes nothing; any text may stand
// for the path or for the current folder, and the reading ends.
void CheckFullPath(const std::string& text, char separator, std::size_t drive) {
  using qnd::platform::LexicalFullPath;
  const std::string current = drive ? "C:\\qnd\\Programme" : "/home/q";
  for (const auto& [path, folder] :
       {std::pair{text, current}, std::pair{std::string("Quendra"), text}}) {
    const std::string full = LexicalFullPath(path, folder, separator, drive);
    QND_FUZZ_CHECK(!full.empty());
    // Literal paths (two separators, "?" or ".", a separator) stay as they stand.
    const auto isSeparator = [](char c) { return c == '\\' || c == '/'; };
    const bool literal = drive && full.size() >= 4 && isSeparator(full[0]) &&
                         isSeparator(full[1]) && (full[2] == '?' || full[2] == '.') &&
                         isSeparator(full[3]);
    if (literal) continue;
    QND_FUZZ_CHECK(drive ? (full.size() >= 3 && full[1] == ':' && full[2] == separator) ||
                               full.starts_with(std::string(2, separator))
                         : full[0] == separator);
    QND_FUZZ_CHECK(LexicalFullPath(full, folder, separator, drive) == full);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider input(data, size);
  const bool windows = input.ConsumeBool();
  const char separator = windows ? '\\' : '/';
  const std::size_t drive = windows ? 2 : 0;
  const std::string commandLine = input.ConsumeRemainingBytesAsString();

  const Arguments arguments = qnd::dir::SplitCommandLine(commandLine);
  CheckSplit(commandLine, arguments);
  CheckTargetDir(arguments, separator);
  CheckRoot(qnd::dir::TargetDirFromArguments(arguments, separator), separator, drive);
  CheckRoot(commandLine.substr(0, commandLine.find('\0')), separator, drive);
  QND_FUZZ_CHECK(qnd::dir::IsEmptyOrRoot("", separator, drive));
  CheckFullPath(commandLine.substr(0, commandLine.find('\0')), separator, drive);
  return 0;
}
