#include "tests/support/version_data.h"

#include <gtest/gtest.h>

#include <stdexcept>

#include "platform/paths.h"
#include "platform/process.h"
#include "tests/support/temp_dir.h"

namespace qnd::test {
namespace {

void CheckRange(const std::string& bytes, std::size_t offset, std::size_t length) {
  if (offset > bytes.size() || length > bytes.size() - offset) {
    throw std::out_of_range("field at " + std::to_string(offset) + " lies outside the file");
  }
}

}  // namespace

std::string VersionDataPath(const std::string& fileName) {
  const std::string program = platform::RunningProgramPath();
  const std::string folder = program.substr(0, program.find_last_of(platform::kPathSeparator) + 1);
  return folder + "version_data" + platform::kPathSeparator + fileName;
}

std::uint16_t GetU16(const std::string& bytes, std::size_t offset) {
  CheckRange(bytes, offset, 2);
  return static_cast<std::uint16_t>(static_cast<unsigned char>(bytes[offset]) |
                                    static_cast<unsigned char>(bytes[offset + 1]) << 8);
}

std::uint32_t GetU32(const std::string& bytes, std::size_t offset) {
  return GetU16(bytes, offset) | static_cast<std::uint32_t>(GetU16(bytes, offset + 2)) << 16;
}

void PutU16(std::string& bytes, std::size_t offset, std::uint16_t value) {
  CheckRange(bytes, offset, 2);
  bytes[offset] = static_cast<char>(value & 0xFF);
  bytes[offset + 1] = static_cast<char>(value >> 8);
}

void PutU32(std::string& bytes, std::size_t offset, std::uint32_t value) {
  PutU16(bytes, offset, static_cast<std::uint16_t>(value & 0xFFFF));
  PutU16(bytes, offset + 2, static_cast<std::uint16_t>(value >> 16));
}

}  // namespace qnd::test

namespace qnd::test {

std::string ProgramWithProductVersion(std::uint16_t a, std::uint16_t b, std::uint16_t c,
                                      std::uint16_t d) {
  std::string bytes = ReadFileBytes(VersionDataPath("v8.exe"));
  const std::string signature("\xBD\x04\xEF\xFE", 4);  // VS_FIXEDFILEINFO starts with it
  const std::size_t fixed = bytes.find(signature);
  if (fixed == std::string::npos || fixed + 24 > bytes.size()) {
    ADD_FAILURE() << "v8.exe has no fixed version information";
    return bytes;
  }
  PutU32(bytes, fixed + 16, std::uint32_t{a} << 16 | b);
  PutU32(bytes, fixed + 20, std::uint32_t{c} << 16 | d);
  return bytes;
}

}  // namespace qnd::test
