// Commands on the machine that runs the tests: natively its own shell; under Wine the Linux shell
// beneath it, which makes what a Windows program under Wine cannot, such as symbolic links (Wine
// shows a Linux link to a folder as a reparse point), and runs the Linux ZIP readers.
#pragma once

#include <string>

namespace qnd::test {

/// True where RunHostShell works: natively and under Wine; false on Windows itself.
bool HostShellAvailable();

/// True under Wine. It shows a Linux link to a file as the file it points to, not as a reparse
/// point; only links to folders are reparse points there.
bool RunsUnderWine();

/// `path` as the host's shell names it: under Wine the Linux path of a Windows path; natively the
/// path itself.
std::string HostPath(const std::string& path);

/// The other way round: `hostPath` as this program names it, such as a path of the build compiled
/// into a test. Under Wine a full Linux path becomes its drive path (Z: is the root unless the
/// prefix maps it elsewhere); anything else is the path itself.
std::string FromHostPath(const std::string& hostPath);

/// `text` quoted for /bin/sh.
std::string ShellQuoted(const std::string& text);

/// Runs `command` with /bin/sh and waits for it to end. Its exit status, or -1 when it could not
/// be started.
int RunHostShell(const std::string& command);

/// Makes a symbolic link at `link` to `target` from the host's side. `target` is a full path, or a
/// name relative to the link's folder (kept relative, so links to each other or to themselves
/// can be made). False where no link could be made.
bool MakeSymbolicLink(const std::string& target, const std::string& link);

}  // namespace qnd::test
