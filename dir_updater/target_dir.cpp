#include "dir_updater/target_dir.h"

#include "platform/process.h"
#include "platform/text.h"

namespace qnd::dir {
namespace {

bool IsBlank(char c) { return static_cast<unsigned char>(c) <= 32; }

// The components of `path` between separators, with "." dropped and ".." taking back the one
// before.
std::vector<std::string> ResolvedComponents(const std::string& path, char separator) {
  std::vector<std::string> components;
  std::size_t start = 0;
  while (start <= path.size()) {
    std::size_t end = path.find(separator, start);
    if (end == std::string::npos) end = path.size();
    const std::string component = path.substr(start, end - start);
    if (component == "..") {
      if (!components.empty()) components.pop_back();
    } else if (!component.empty() && component != ".") {
      components.push_back(component);
    }
    start = end + 1;
  }
  return components;
}

}  // namespace

std::vector<std::string> SplitCommandLine(const std::string& commandLine) {
  std::vector<std::string> arguments;
  std::size_t pos = 0;
  const std::size_t size = commandLine.size();
  for (;;) {
    for (;;) {
      while (pos < size && commandLine[pos] != '\0' && IsBlank(commandLine[pos])) ++pos;
      if (pos + 1 < size && commandLine[pos] == '"' && commandLine[pos + 1] == '"') {
        pos += 2;  // an empty quoted argument is no argument
      } else {
        break;
      }
    }
    if (pos >= size || commandLine[pos] == '\0') break;
    std::string argument;
    bool quoted = false;
    while (pos < size && commandLine[pos] != '\0' && (quoted || !IsBlank(commandLine[pos]))) {
      if (commandLine[pos] == '"') {
        quoted = !quoted;
      } else {
        argument += commandLine[pos];
      }
      ++pos;
    }
    arguments.push_back(argument);
  }
  return arguments;
}

std::string TargetDirFromArguments(const std::vector<std::string>& arguments, char separator) {
  std::string target;
  for (std::size_t i = 1; i < arguments.size(); ++i) {
    if (i > 1) target += ' ';
    target += arguments[i];
  }
  if (!target.empty() && target.back() == separator) target.pop_back();
  return target;
}

std::vector<std::string> ProgramArguments(const std::vector<std::string>& arguments) {
  if (const std::optional<std::string> raw = platform::RawCommandLine())
    return SplitCommandLine(*raw);
  return arguments;
}

std::string CanonicalTargetDir(const std::string& joined) {
  if (joined.empty()) return joined;
  std::string full = platform::FullPathName(joined);
  while (full.size() > 1 && full.back() == platform::kPathSeparator) full.pop_back();
  return full;
}

bool IsEmptyOrRoot(const std::string& dir, char separator, std::size_t drivePrefixLength) {
  std::string path = dir;
  const std::string sep(1, separator);
  // Windows takes "/" for a separator as well.
  if (drivePrefixLength > 0) {
    for (char& c : path) {
      if (c == '/') c = separator;
    }
  }
  // "\\?\" (or "\\.\") only asks Windows to take the path literally; "\\?\UNC\" stands for "\\".
  // Below it a volume's name stands for the volume's root: "Volume{GUID}", or the three parts of
  // "GLOBALROOT\Device\HarddiskVolume3".
  std::size_t fixed = 0;  // parts that belong to the root itself
  bool share = drivePrefixLength > 0 && path.starts_with(sep + sep);
  if (share && path.size() >= 4 && (path[2] == '?' || path[2] == '.') && path[3] == separator) {
    path.erase(0, 4);
    share = path.starts_with("UNC" + sep);
    if (share) {
      path.erase(0, 4);
    } else if (!(path.size() >= 2 && path[1] == ':')) {
      fixed = platform::AsciiToLower(path).starts_with("globalroot" + sep) ? 3 : 1;
    }
  }
  if (share) {
    fixed = 2;  // \\server\share
  } else if (drivePrefixLength > 0 && path.size() >= 2 && path[1] == ':') {
    path.erase(0, 2);  // the drive
  }
  return ResolvedComponents(path, separator).size() <= fixed;
}

}  // namespace qnd::dir
