// The record a successful run leaves in the product's ini folder: "QND_6_7_8_Update.ini", section
// Update, with the outcome, the date and time in the user's regional formats and the version the
// installation had before.
#pragma once

#include "core/updater_context.h"

namespace qnd {

inline constexpr char kResultFileName[] = "QND_6_7_8_Update.ini";

/// Writes Erfolg (= `status`), Datum, Uhrzeit and Vorversion, one key after the other, into
/// IniDir + "QND_6_7_8_Update.ini"; other content of the file stays. A key that cannot be written
/// raises Failure "In <file> kann nicht geschrieben werden"; keys written before it stay.
void SchreibeIni(UpdaterContext& context, int status);

}  // namespace qnd
