// The window's modal boxes: the error box and the German yes/no question.
#pragma once

#include <string>

#include "platform/win32/win32.h"

namespace qnd::platform::win32 {

/// A box with the error icon and one "OK" button, owned by `owner`; returns when it is closed.
void ShowErrorMessage(HWND owner, const std::string& title, const std::string& text);

/// A question with the buttons "&Ja" (the default) and "&Nein", whatever the system's language;
/// true only for "&Ja". Esc and the close box answer no.
bool AskGermanYesNo(HWND owner, const std::string& title, const std::string& text);

}  // namespace qnd::platform::win32
