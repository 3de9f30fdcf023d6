// The PE files with known version resources that the test build links (tests/data/version), and
// little-endian field access for tests that take them apart.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace qnd::test {

/// The full path of the built file `fileName` ("v8.exe", ...): in "version_data" beside the running
/// test program, so the same lookup works natively and under Wine.
std::string VersionDataPath(const std::string& fileName);

std::uint16_t GetU16(const std::string& bytes, std::size_t offset);
std::uint32_t GetU32(const std::string& bytes, std::size_t offset);
void PutU16(std::string& bytes, std::size_t offset, std::uint16_t value);
void PutU32(std::string& bytes, std::size_t offset, std::uint32_t value);

}  // namespace qnd::test

namespace qnd::test {

/// The bytes of a program file whose product version is a.b.c.d (the release-8 file with its
/// version fields rewritten), for installations of any release.
std::string ProgramWithProductVersion(std::uint16_t a, std::uint16_t b, std::uint16_t c,
                                      std::uint16_t d);

}  // namespace qnd::test
