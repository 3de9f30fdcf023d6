#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "platform/paths.h"
#include "tests/support/host_shell.h"

namespace qnd::test {
namespace fs = std::filesystem;
namespace {

fs::path FromUtf8(const std::string& text) {
  return fs::path(std::u8string(text.begin(), text.end()));
}

std::string ToUtf8(const fs::path& path) {
  const std::u8string text = path.u8string();
  return std::string(text.begin(), text.end());
}

std::string Localised(std::string relative) {
  for (char& c : relative) {
    if (c == '/') c = platform::kPathSeparator;
  }
  return relative;
}

}  // namespace

TempDir::TempDir() {
  static std::atomic<unsigned> counter{0};
  const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
  const fs::path base = fs::temp_directory_path() /
                        ("qnd-test-" + std::to_string(stamp) + "-" + std::to_string(counter++));
  fs::create_directories(base);
  path_ = ToUtf8(fs::canonical(base).make_preferred());
}

TempDir::~TempDir() {
  // Under Wine the folder may hold Linux links, which Windows' removal would follow or fail on; the
  // host's rm removes each link as itself.
  if (RunsUnderWine()) {
    const std::string folder = ShellQuoted(HostPath(path_));
    if (RunHostShell("chmod -R u+w " + folder + " && rm -rf " + folder) == 0) return;
  }
  std::error_code ignored;
  // Read-only files must not keep the folder alive.
  for (auto it = fs::recursive_directory_iterator(FromUtf8(path_), ignored);
       it != fs::recursive_directory_iterator(); it.increment(ignored)) {
    fs::permissions(it->path(), fs::perms::owner_write, fs::perm_options::add, ignored);
  }
  fs::remove_all(FromUtf8(path_), ignored);
}

std::string TempDir::operator/(const std::string& relative) const {
  return path_ + platform::kPathSeparator + Localised(relative);
}

void TempDir::WriteFile(const std::string& relative, const std::string& bytes) const {
  const fs::path file = FromUtf8(*this / relative);
  fs::create_directories(file.parent_path());
  WriteFileBytes(ToUtf8(file), bytes);
}

std::string TempDir::ReadFile(const std::string& relative) const {
  return ReadFileBytes(*this / relative);
}

void TempDir::MakeDir(const std::string& relative) const {
  fs::create_directories(FromUtf8(*this / relative));
}

bool TempDir::Exists(const std::string& relative) const {
  std::error_code ignored;
  return fs::exists(FromUtf8(*this / relative), ignored);
}

std::string ReadFileBytes(const std::string& path) {
  std::ifstream in(FromUtf8(path), std::ios::binary);
  EXPECT_TRUE(in.good()) << "cannot read " << path;
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

void WriteFileBytes(const std::string& path, const std::string& bytes) {
  std::error_code ignored;
  fs::create_directories(FromUtf8(path).parent_path(), ignored);
  std::ofstream out(FromUtf8(path), std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  ASSERT_TRUE(out.good()) << "cannot write " << path;
}

}  // namespace qnd::test
