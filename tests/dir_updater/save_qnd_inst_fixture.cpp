#include "tests/dir_updater/save_qnd_inst_fixture.h"

#include <algorithm>

namespace qnd::dir {
namespace {

std::string Localised(std::string relative) {
  for (char& c : relative) {
    if (c == '/') c = platform::kPathSeparator;
  }
  return relative;
}

platform::Platform Services(platform::FileSystem& fileSystem, platform::ProcessInfo& process) {
  platform::Platform services = platform::SystemPlatform();
  services.fileSystem = &fileSystem;
  services.process = &process;
  return services;
}

}  // namespace

SaveQNDInstTest::SaveQNDInstTest()
    : log_(window_), context_{state_, log_, Services(fileSystem_, ownPath_), Program::DirUpdater} {
  faults_.SetWatch([this](const platform::FileCall& call) {
    calls_.push_back(call);
    return onCall_ && onCall_(call);
  });
  root_.MakeDir("Temp");
  root_.MakeDir("Programme/Quendra");
  // The system's temporary folder ends with a separator; the archive's path then holds two.
  fileSystem_.temporaryFolder = root_ / "Temp" + kSep;
  state_.TargetDir = root_ / "Programme/Quendra";
  ownPath_.path = root_ / "Anderswo/QNDUpdaterP2.exe";
}

std::string SaveQNDInstTest::Target(const std::string& relative) const {
  return state_.TargetDir + kSep + Localised(relative);
}

std::string SaveQNDInstTest::Temp(const std::string& relative) const {
  return root_ / "Temp" + kSep + Localised(relative);
}

std::string SaveQNDInstTest::EntryName(const std::string& relative) {
  return "Quendra" + kSep + Localised(relative);
}

void SaveQNDInstTest::Put(const std::string& relative, const std::string& bytes) const {
  test::WriteFileBytes(Target(relative), bytes);
}

void SaveQNDInstTest::PutSmallInstallation() const {
  Put("Sub/Deep/x.dat", "x");
  Put("Sub/y.dat", "yy");
  Put("z.dat", "zzz");
  Put("QuendStart.ini", "[Pfade]\r\nIniPfad=C:\\ProgramData\\Quendra\\\r\n");
}

std::vector<std::string> SaveQNDInstTest::ArchivedNames() const {
  std::vector<std::string> names;
  for (const test::CentralHeader& header : test::ParseZip(ArchiveBytes()).central)
    names.push_back(header.name);
  return names;
}

bool SaveQNDInstTest::NothingRemoved() const {
  const std::string ownCopy = Target("qndaltinst.neu.zip");
  return std::none_of(calls_.begin(), calls_.end(), [&](const platform::FileCall& call) {
    return (call.operation == platform::FileOperation::Delete && call.path != ownCopy) ||
           call.operation == platform::FileOperation::RemoveFolder;
  });
}

void SaveQNDInstTest::FailOn(platform::FileOperation operation, const std::string& path) {
  onCall_ = [operation, path](const platform::FileCall& call) {
    return call.operation == operation && (operation == platform::FileOperation::Copy ||
                                                   operation == platform::FileOperation::Rename
                                               ? call.target
                                               : call.path) == path;
  };
}

std::size_t SaveQNDInstTest::LargestSize(platform::FileOperation operation) const {
  std::size_t largest = 0;
  for (const platform::FileCall& call : calls_) {
    if (call.operation == operation) largest = std::max(largest, call.size);
  }
  return largest;
}

}  // namespace qnd::dir
