// The test keys as an export file, written anew after every change in the form regedit writes.
#include <gtest/gtest.h>
#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <optional>
#include <vector>

#include "platform/text.h"
#include "tests/support/temp_dir.h"
#include "tests/support/test_registry.h"

namespace qnd::test {
namespace {

constexpr char kVariable[] = "QND_REGISTRY_FILE";

std::string Quoted(const std::string& text) {
  std::string out = "\"";
  for (const char c : text) {
    if (c == '\\' || c == '"') out += '\\';
    out += c;
  }
  return out + '"';
}

std::string HexList(const std::string& bytes) {
  std::string out;
  for (const char c : bytes) {
    char byte[4];
    std::snprintf(byte, sizeof byte, "%02x", static_cast<unsigned char>(c));
    if (!out.empty()) out += ',';
    out += byte;
  }
  return out;
}

// UTF-16LE with the terminating zero, as a text value is stored.
std::string StoredText(const std::string& text) {
  std::string bytes;
  for (const char16_t u : platform::Utf8ToUtf16(text)) {
    bytes += static_cast<char>(u & 0xFF);
    bytes += static_cast<char>(u >> 8);
  }
  return bytes + std::string(2, '\0');
}

}  // namespace

struct ScopedTestKeys::Store {
  TempDir dir;
  std::optional<std::string> previous;  // the variable's value before
  // Key (relative to the root) -> value name -> the data part of its line.
  std::map<std::string, std::map<std::string, std::string>> keys;

  void Set(const ScopedTestKeys& owner, const std::string& key, const std::string& name,
           const std::string& data) {
    keys[key][name] = data;
    Write(owner);
  }

  void Write(const ScopedTestKeys& owner) const {
    std::string file = "Windows Registry Editor Version 5.00\r\n";
    for (const auto& [key, values] : keys) {
      file +=
          "\r\n[HKEY_LOCAL_MACHINE\\" + owner.Root() + (key.empty() ? "" : "\\" + key) + "]\r\n";
      for (const auto& [name, data] : values) {
        file += (name.empty() ? "@" : Quoted(name)) + "=" + data + "\r\n";
      }
    }
    dir.WriteFile("test.reg", file);
  }
};

ScopedTestKeys::ScopedTestKeys() : store_(std::make_unique<Store>()) {
  static std::atomic<unsigned> counter{0};
  root_ = "SOFTWARE\\QndTest\\" + std::to_string(::getpid()) + "-" + std::to_string(counter++);
  if (const char* value = std::getenv(kVariable)) store_->previous = value;
  store_->keys[""];
  store_->Write(*this);
  ::setenv(kVariable, (store_->dir / "test.reg").c_str(), 1);
}

ScopedTestKeys::~ScopedTestKeys() {
  if (store_->previous) {
    ::setenv(kVariable, store_->previous->c_str(), 1);
  } else {
    ::unsetenv(kVariable);
  }
}

void ScopedTestKeys::AddKey(const std::string& key) {
  store_->keys[key];
  store_->Write(*this);
}

void ScopedTestKeys::SetString(const std::string& key, const std::string& name,
                               const std::string& text) {
  // A zero inside the text only survives in the hex form.
  const bool plain = text.find('\0') == std::string::npos;
  store_->Set(*this, key, name, plain ? Quoted(text) : "hex(1):" + HexList(StoredText(text)));
}

void ScopedTestKeys::SetExpandString(const std::string& key, const std::string& name,
                                     const std::string& text) {
  store_->Set(*this, key, name, "hex(2):" + HexList(StoredText(text)));
}

void ScopedTestKeys::SetDword(const std::string& key, const std::string& name,
                              std::uint32_t number) {
  char data[16];
  std::snprintf(data, sizeof data, "dword:%08x", static_cast<unsigned>(number));
  store_->Set(*this, key, name, data);
}

void ScopedTestKeys::SetBinary(const std::string& key, const std::string& name,
                               const std::string& bytes) {
  store_->Set(*this, key, name, "hex:" + HexList(bytes));
}

}  // namespace qnd::test
