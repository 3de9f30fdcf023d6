// SystemRegistry() on both platforms: natively against the export file, under Wine against the
// registry of the prefix. The keys come from ScopedTestKeys, so both bodies see the same data.
#include "platform/registry.h"

#include <gtest/gtest.h>

#include "tests/support/test_registry.h"

namespace qnd::platform {
namespace {

using test::ScopedTestKeys;

std::unique_ptr<RegistryKey> Open(const std::string& subkey, std::error_code& error) {
  std::unique_ptr<RegistryKey> key;
  error = SystemRegistry().OpenLocalMachineKey(subkey, kKeyRead, key);
  return key;
}

std::string Upper(std::string text) {
  for (char& c : text) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return text;
}

TEST(RegistryTest, OpensExistingKeysWithoutRegardToCase) {
  ScopedTestKeys keys;
  keys.AddKey("Quendra\\Setup");
  std::error_code error;
  EXPECT_NE(Open(keys.Root(), error), nullptr) << error.message();
  EXPECT_NE(Open(Upper(keys.Root()) + "\\quendra\\SETUP", error), nullptr) << error.message();
  // A parent of a created key exists too.
  EXPECT_NE(Open(keys.Root() + "\\Quendra", error), nullptr) << error.message();
}

TEST(RegistryTest, MissingKeyFailsWithNoSuchFile) {
  ScopedTestKeys keys;
  keys.AddKey("Quendra");
  for (const std::string& subkey : {keys.Root() + "\\Absent", keys.Root() + "\\Quendra\\Absent",
                                    keys.Root() + "\\Quendr", keys.Root() + "\\Quendra2"}) {
    std::error_code error;
    EXPECT_EQ(Open(subkey, error), nullptr) << subkey;
    EXPECT_EQ(error, std::errc::no_such_file_or_directory) << subkey << ": " << error.message();
  }
}

TEST(RegistryTest, LeadingBackslashIsRejectedButOtherEmptyComponentsAreIgnored) {
  ScopedTestKeys keys;
  keys.AddKey("Quendra");
  std::error_code error;
  EXPECT_NE(Open(keys.Root() + "\\Quendra\\", error), nullptr) << error.message();
  EXPECT_NE(Open(keys.Root() + "\\\\Quendra", error), nullptr) << error.message();
  // Windows says ERROR_BAD_PATHNAME, which the standard library counts as "no such file".
  EXPECT_EQ(Open("\\" + keys.Root(), error), nullptr);
  EXPECT_EQ(error, std::errc::no_such_file_or_directory) << error.message();
}

TEST(RegistryTest, EachOpenSeesTheRegistryAsItIsThen) {
  std::string root;
  {
    ScopedTestKeys keys;
    root = keys.Root();
    std::error_code error;
    EXPECT_EQ(Open(root + "\\Later", error), nullptr);
    keys.SetString("Later", "Name", "now");
    const auto key = Open(root + "\\Later", error);
    ASSERT_NE(key, nullptr) << error.message();
    EXPECT_TRUE(key->HasValue("Name"));
  }
  std::error_code error;
  EXPECT_EQ(Open(root, error), nullptr);
  EXPECT_EQ(error, std::errc::no_such_file_or_directory);
}

class RegistryValueTest : public testing::Test {
 protected:
  void SetUp() override {
    keys_.SetString("Quendra", "Name", "Quendra Zeugnisse");
    keys_.SetString("Quendra", "Fächer", "Ärger äöü ß");
    keys_.SetString("Quendra", "Empty", "");
    keys_.SetString("Quendra", "Cut", std::string("Two\0Parts", 9));
    keys_.SetString("Quendra", "", "the default");
    keys_.SetExpandString("Quendra", "InstallDir", "%ProgramFiles%\\Q\\");
    keys_.SetDword("Quendra", "Version", 10);
    keys_.SetBinary("Quendra", "Blob", std::string("\x01\x00\xFF", 3));
    std::error_code error;
    key_ = Open(keys_.Root() + "\\Quendra", error);
    ASSERT_NE(key_, nullptr) << error.message();
  }

  ScopedTestKeys keys_;
  std::unique_ptr<RegistryKey> key_;
};

TEST_F(RegistryValueTest, ReadStringByTypeAndName) {
  struct Case {
    std::string name;
    ValueRead result;
    std::string text;  // expected on Ok
  };
  const Case cases[] = {
      {"Name", ValueRead::Ok, "Quendra Zeugnisse"},
      {"NAME", ValueRead::Ok, "Quendra Zeugnisse"},
      {"FÄCHER", ValueRead::Ok, "Ärger äöü ß"},
      {"Empty", ValueRead::Ok, ""},
      {"Cut", ValueRead::Ok, "Two"},  // up to the first zero
      {"", ValueRead::Ok, "the default"},
      {"installdir", ValueRead::Ok, "%ProgramFiles%\\Q\\"},  // never expanded
      {"Version", ValueRead::WrongType, ""},
      {"Blob", ValueRead::WrongType, ""},
      {"Absent", ValueRead::Missing, ""},
      {"Nam", ValueRead::Missing, ""},
  };
  for (const Case& c : cases) {
    std::string out = "untouched";
    EXPECT_EQ(key_->ReadString(c.name, out), c.result) << c.name;
    EXPECT_EQ(out, c.result == ValueRead::Ok ? c.text : "untouched") << c.name;
  }
}

TEST_F(RegistryValueTest, HasValueForEveryType) {
  for (const char* name : {"name", "InstallDir", "VERSION", "Blob", "Empty", ""}) {
    EXPECT_TRUE(key_->HasValue(name)) << name;
  }
  EXPECT_FALSE(key_->HasValue("Absent"));
}

TEST(RegistryTest, DefaultValueIsMissingUntilSet) {
  ScopedTestKeys keys;
  std::error_code error;
  const auto key = Open(keys.Root(), error);
  ASSERT_NE(key, nullptr) << error.message();
  std::string out;
  EXPECT_FALSE(key->HasValue(""));
  EXPECT_EQ(key->ReadString("", out), ValueRead::Missing);
}

#ifdef _WIN32
// Read from the prefix's own registry; the name differs in case from the stored "Common AppData".
TEST(RegistryTest, ReadsCommonAppDataFromShellFolders) {
  std::error_code error;
  const auto key =
      Open("SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders", error);
  ASSERT_NE(key, nullptr) << error.message();
  std::string path;
  ASSERT_EQ(key->ReadString("Common Appdata", path), ValueRead::Ok);
  EXPECT_TRUE(path.ends_with("ProgramData")) << path;
}
#endif

}  // namespace
}  // namespace qnd::platform
