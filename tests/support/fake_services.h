// Small stand-ins for platform services whose real answers a test cannot choose: the WOW64 query,
// the user's local application-data folder and the system's folders (the shell's copies stay
// real).
#pragma once

#include <string>

#include "platform/process.h"
#include "platform/shell.h"

namespace qnd::test {

class FakeProcessInfo : public platform::ProcessInfo {
 public:
  platform::Wow64 QueryWow64() override { return wow64; }
  platform::Wow64 wow64 = platform::Wow64::No;
};

/// The system's shell with a chosen local application-data folder and system folders.
class ShellWithAppData : public platform::Shell {
 public:
  int CopyFiles(const std::string& sourcePattern, const std::string& targetFolder,
                unsigned flags) override {
    return platform::SystemShell().CopyFiles(sourcePattern, targetFolder, flags);
  }
  std::string LocalAppDataFolder() override { return localAppData; }
  std::vector<platform::SystemFolder> SystemFolders() override { return systemFolders; }
  void SetOwnerWindow(void*) override {}
  std::string localAppData;
  std::vector<platform::SystemFolder> systemFolders;
};

}  // namespace qnd::test
