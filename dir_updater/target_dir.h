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
/// system has one, else `argv` as the shell passed it.
std::vector<std::string> ProgramArguments(int argc, char** argv);

/// `dir` made absolute against the current folder when it is relative ("Quendra", ".", "..").
std::string AbsoluteDir(const std::string& dir, char separator = platform::kPathSeparator,
                        std::size_t drivePrefixLength = platform::kDrivePrefixLength);

/// True when `dir` is empty or names the root of a drive, a network share or the file system
/// ("D:", "D:\", "\\server\share", "/"), after "." and ".." are resolved: archiving and emptying such
/// a directory would cover a whole drive.
bool IsEmptyOrRoot(const std::string& dir, char separator = platform::kPathSeparator,
                   std::size_t drivePrefixLength = platform::kDrivePrefixLength);

}  // namespace qnd::dir
