// What the whole-run tests of the built programs share: their message boxes, found and answered
// from outside, and the files a complete run leaves behind.
#pragma once

#include <string>

#include "tests/gui/win32_gui_support.h"
#include "tests/support/sample_installation.h"

namespace qnd::test {

inline constexpr wchar_t kBoxClass[] = L"#32770";

/// The text of the message box `box`.
std::string BoxText(HWND box);

/// Waits for `process`'s box titled `title`, expects `text` in it and presses `key` on it.
void AnswerBox(const ChildProcess& process, const std::wstring& title, const std::string& text,
               WORD key);

/// The result file beside the main ini in the "001" subfolder records success, `version`, and a
/// date and time in the user's formats at a moment between `start` and now.
void ExpectResultFile(const SampleInstallation& installation, const std::string& version,
                      const SYSTEMTIME& start);

/// The current local time.
SYSTEMTIME LocalNow();

}  // namespace qnd::test
