#include "tests/support/fake_registry.h"

#include "platform/text.h"

namespace qnd::test {
namespace {

std::string Folded(const std::string& name) {
  std::u16string units = platform::Utf8ToUtf16(name);
  for (char16_t& unit : units) unit = platform::UpperCaseUnit(unit);
  return platform::Utf16ToUtf8(units);
}

class FakeKey : public platform::RegistryKey {
 public:
  explicit FakeKey(std::map<std::string, FakeRegistry::Value> values)
      : values_(std::move(values)) {}
  bool HasValue(const std::string& name) const override { return values_.count(Folded(name)) != 0; }
  platform::ValueRead ReadString(const std::string& name, std::string& out) const override {
    const auto found = values_.find(Folded(name));
    if (found == values_.end()) return platform::ValueRead::Missing;
    if (!found->second.isString) return platform::ValueRead::WrongType;
    out = found->second.text;
    return platform::ValueRead::Ok;
  }

 private:
  std::map<std::string, FakeRegistry::Value> values_;
};

}  // namespace

void FakeRegistry::SetString(const std::string& key, const std::string& name,
                             const std::string& text) {
  keys_[Folded(key)][Folded(name)] = Value{true, text};
}

void FakeRegistry::SetNonString(const std::string& key, const std::string& name) {
  keys_[Folded(key)][Folded(name)] = Value{false, ""};
}

void FakeRegistry::AddKey(const std::string& key) { keys_[Folded(key)]; }

std::error_code FakeRegistry::OpenLocalMachineKey(const std::string& subkey, std::uint32_t access,
                                                  std::unique_ptr<platform::RegistryKey>& key) {
  openings_.push_back({subkey, access});
  const auto found = keys_.find(Folded(subkey));
  if (found == keys_.end()) return std::make_error_code(std::errc::no_such_file_or_directory);
  key = std::make_unique<FakeKey>(found->second);
  return {};
}

}  // namespace qnd::test
