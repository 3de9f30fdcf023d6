// The default handler's boxes, the same for both front ends: the box that shows a failure no step
// handled, titled with the program's file name and ending the text with a period where it has no
// closing punctuation, and the last-resort box for a failure that escapes even that handler.
#pragma once

#include <string>

namespace qnd {

/// The texts for a failure that carries none of its own: one of memory, and one of unknown kind.
inline constexpr char kOutOfMemoryText[] = "Nicht genügend Arbeitsspeicher";
inline constexpr char kUnknownFailureText[] = "Ein unerwarteter Fehler ist aufgetreten";

/// The program's file name without folder and extension, first character unchanged and the rest in
/// lower case: "Qndupdaterp2" for ...\QNDUpdaterP2.exe. Both separators are accepted.
std::string FailureBoxTitle(const std::string& programPath);

/// The failure's text followed by "." unless its last character's code is at most that of "."
/// (so a text ending in "!" or "." stays as it is; an empty text stays empty).
std::string FailureBoxText(const std::string& failureText);

/// The text of the last-resort box: the failure of unknown kind, as the handler's box shows it. A
/// failure that escapes the handler (one while it shows its own box, say) is caught by the window,
/// which shows this text titled with its caption; each program puts it into its window's design
/// (platform::WindowDesign::escapedFailureText).
std::string EscapedFailureText();

}  // namespace qnd
