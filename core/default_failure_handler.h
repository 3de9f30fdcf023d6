// The box of the default handler that shows a failure no step handled: titled with the program's
// file name and ending the text with a period where it has no closing punctuation.
#pragma once

#include <string>

namespace qnd {

/// The program's file name without folder and extension, first character unchanged and the rest in
/// lower case: "Qndupdaterp2" for ...\QNDUpdaterP2.exe. Both separators are accepted.
std::string FailureBoxTitle(const std::string& programPath);

/// The failure's text followed by "." unless its last character's code is at most that of "."
/// (so a text ending in "!" or "." stays as it is; an empty text stays empty).
std::string FailureBoxText(const std::string& failureText);

}  // namespace qnd
