// The two modal boxes of the progress log: the error box and the yes/no question.
#pragma once

#include <string>

class QWidget;

namespace qnd::platform::qt {

/// The error icon and one button "OK"; returns when the box is closed.
void ShowErrorBox(QWidget* parent, const std::string& title, const std::string& text);

/// The question icon and the buttons "&Ja" (the default) and "&Nein"; true only for "&Ja". Esc and
/// closing the box answer "&Nein".
bool AskYesNo(QWidget* parent, const std::string& title, const std::string& text);

}  // namespace qnd::platform::qt
