// QNDUpdaterP2's target directory: its command line's arguments joined with blanks, so a path with
// blanks arrives whole even without quotes.
#pragma once

#include <string>
#include <vector>

#include "platform/paths.h"

namespace qnd::dir {

/// Splits a raw command line into its arguments, the program itself first: characters with codes
/// 1 to 32 separate arguments, a pair of double quotes where an argument would begin is skipped
/// like blank space, a double quote inside an argument switches quoting on or off and is dropped
/// (blanks inside quotes belong to the argument), and a backslash is a plain character.
std::vector<std::string> SplitCommandLine(const std::string& commandLine);

/// Arguments 1 to n joined with one blank, one trailing separator removed; empty without arguments.
std::string TargetDirFromArguments(const std::vector<std::string>& arguments,
                                   char separator = platform::kPathSeparator);

/// The program's arguments, itself first: the raw command line split by the rules above where the
/// system has one, else `arguments` as the shell (and the window system) left them.
std::vector<std::string> ProgramArguments(const std::vector<std::string>& arguments);

/// The joined target as the one full path that the gate, the walk and the deletion all work on:
/// made absolute and normalised by the system (platform::FullPathName), without trailing
/// separators ("D:" for a drive's root; "/" stays). Empty stays empty, and so does a target the
/// system cannot make full. So "Quendra" started in "C:\qnd\Programme", "C:Quendra" there,
/// "C:/qnd/Programme/Quendra" and "C:\qnd\\Programme\Quendra\\" all give
/// "C:\qnd\Programme\Quendra", and every entry name starts with "Quendra".
std::string CanonicalTargetDir(const std::string& joined);

/// True when `dir` is empty or names the root of a drive, a volume, a network share or the file
/// system ("D:", "D:\", "\\server\share", "\\?\Volume{...}",
/// "\\?\GLOBALROOT\Device\HarddiskVolume3",
/// "/"), after "." and ".." are resolved: archiving and emptying such a directory would cover a
/// whole drive.
bool IsEmptyOrRoot(const std::string& dir, char separator = platform::kPathSeparator,
                   std::size_t drivePrefixLength = platform::kDrivePrefixLength);

}  // namespace qnd::dir
