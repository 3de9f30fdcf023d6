#include "core/result_file.h"

#include <string>
#include <utility>

#include "core/failure.h"

namespace qnd {

void SchreibeIni(UpdaterContext& context, int status) {
  const std::string path = context.state.IniDir + kResultFileName;
  platform::Regional& regional = *context.platform.regional;
  const platform::CalendarTime now = regional.Now();
  const std::pair<const char*, std::string> keys[] = {
      {"Erfolg", std::to_string(status)},
      {"Datum", regional.ShortDate(now)},
      {"Uhrzeit", regional.LongTime(now)},
      {"Vorversion", context.state.InstalledVersion},
  };
  for (const auto& [key, value] : keys) {
    if (context.platform.profile->WriteString(path, "Update", key, value))
      throw Failure("In " + path + " kann nicht geschrieben werden");
  }
}

}  // namespace qnd
