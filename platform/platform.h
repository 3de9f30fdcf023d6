// The set of platform services one run works with. The programs use SystemPlatform(); tests replace
// single services (a registry kept in a map, a file system that fails on request) and keep the
// rest.
#pragma once

#include "platform/file_system.h"
#include "platform/process.h"
#include "platform/profile.h"
#include "platform/regional.h"
#include "platform/registry.h"
#include "platform/shell.h"

namespace qnd::platform {

struct Platform {
  Registry* registry;
  Profile* profile;
  FileSystem* fileSystem;
  Regional* regional;
  Shell* shell;
  ProcessInfo* process;
};

/// The real services of this system.
Platform SystemPlatform();

}  // namespace qnd::platform
