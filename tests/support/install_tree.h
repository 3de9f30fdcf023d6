// Installation folders on disk for the tests: what a folder holds, file attributes as the system
// keeps them, last-write times in local time, and paths of a chosen length.
#pragma once

#include <cstdint>
#include <filesystem>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "platform/regional.h"

namespace qnd::test {

std::filesystem::path FsPath(const std::string& utf8);

/// The names directly inside `folder`, in UTF-8.
std::set<std::string> NamesIn(const std::string& folder);

/// Everything below `folder`, by relative path with "/" between components: "file:<bytes>",
/// "folder" or "link". Links are not followed.
using Tree = std::map<std::string, std::string>;
Tree Snapshot(const std::string& folder);

/// Gives the file or folder `path` the hidden (0x2), system (0x4) and read-only (0x1) bits of
/// `attributes`. POSIX keeps hidden and system where Wine keeps them, in user.DOSATTRIB, and
/// read-only as the missing write bits.
void SetDosAttributes(const std::string& path, std::uint32_t attributes);

/// True when the read-only file `path` can be written all the same: Wine running as root ignores
/// the attribute, while Windows and the POSIX body refuse (the latter checks the mode bits itself).
bool SystemWritesReadOnlyFile(const std::string& path);

/// Sets the last-write time of `path` to `local`, a time in the local time zone.
void SetLocalWriteTime(const std::string& path, const platform::CalendarTime& local);

/// At least one folder of 100 characters below `installation`, then a file holding "tief" whose
/// full path is `length` characters long; returns the folders. Built folder by folder from the
/// current folder, because the whole path may be longer than the system takes in one call.
std::vector<std::string> PutFileOfPathLength(const std::string& installation, std::size_t length);

/// Removes what PutFileOfPathLength made and is left; true when the file itself was still there.
bool RemoveFileOfPathLength(const std::string& installation,
                            const std::vector<std::string>& folders);

}  // namespace qnd::test
