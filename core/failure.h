// The one exception type of the programs. It stands for the platform's unexpected failures only: an
// ini file that cannot be written, a registry value of the wrong type and a failing WOW64 query. Its
// text is the exact German message; the front end's default handler shows it.
#pragma once

#include <stdexcept>
#include <string>

namespace qnd {

class Failure : public std::runtime_error {
 public:
  explicit Failure(const std::string& text) : std::runtime_error(text) {}
  std::string Text() const { return what(); }
};

/// "Ungültiger Datentyp für '<valueName>'": a registry value that holds no string.
Failure WrongRegistryTypeFailure(const std::string& valueName);

}  // namespace qnd
