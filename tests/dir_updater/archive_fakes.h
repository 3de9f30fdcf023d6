// Stand-ins for the archive tests: an output file in memory that fails on request, the system's
// file system behind the fault seam with a chosen temporary folder, and a chosen own path.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "platform/fault_injection.h"
#include "platform/process.h"

namespace qnd::test {

/// An output file kept in memory (or only counted, when `keepBytes` is false).
class MemoryOutputFile : public platform::OutputFile {
 public:
  explicit MemoryOutputFile(bool keepBytes = true) : keepBytes_(keepBytes) {}
  std::error_code Write(const char* data, std::size_t size) override;
  std::error_code Seek(std::uint64_t offset) override;
  std::error_code Flush() override { return {}; }
  std::error_code Close() override { return {}; }
  std::error_code Stamp(platform::FileStamp& stamp) override;

  std::string bytes;
  std::uint64_t length = 0;
  std::size_t writes = 0;
  std::size_t seeks = 0;
  /// The write with this number (from 1) fails with "no space left".
  std::size_t failingWrite = 0;

 private:
  bool keepBytes_;
  std::uint64_t position_ = 0;
};

/// The system's file system behind the fault seam, with a chosen temporary folder.
class TestFileSystem : public platform::FaultyFileSystem {
 public:
  explicit TestFileSystem(platform::FaultInjector& faults)
      : FaultyFileSystem(platform::SystemFileSystem(), faults) {}
  std::string TemporaryFolder() override { return temporaryFolder; }
  std::string temporaryFolder;
};

/// The running program's path as a test chooses it.
class OwnPath : public platform::ProcessInfo {
 public:
  platform::Wow64 QueryWow64() override { return platform::Wow64::No; }
  std::string ProgramPath() override { return path; }
  std::string path = "/nowhere/QNDUpdaterP2.exe";
};

}  // namespace qnd::test
