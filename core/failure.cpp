#include "core/failure.h"

namespace qnd {

Failure WrongRegistryTypeFailure(const std::string& valueName) {
  return Failure("Ungültiger Datentyp für '" + valueName + "'");
}

}  // namespace qnd
