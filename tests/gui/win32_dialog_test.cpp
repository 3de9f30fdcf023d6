// The built programs' windows, started as a user starts them and driven from outside through the
// window system: controls, sizes in compact and expanded mode, the frames, Enter, Esc, Tab and the
// close request. The Wine prefix runs at 96 dpi (Wine's default), so sizes are the designed ones.
#include <gtest/gtest.h>

#include <memory>

#include "platform/win32/dialog/updater_window.h"
#include "platform/win32/wide.h"
#include "tests/gui/win32_gui_support.h"
#include "tests/support/sample_installation.h"
#include "tests/support/temp_dir.h"
// After win32.h (through wide.h), which sets the macros these headers depend on.
#include <commctrl.h>
#include <richedit.h>

namespace qnd::test {
namespace {

constexpr wchar_t kBoxClass[] = L"#32770";
constexpr int kStatusHeight = 19;
constexpr int kLogHeight = 180;

enum class Program { Local, Dir };

struct Design {
  const char* name;
  Program program;
  const wchar_t* caption;
  int clientWidth;
  POINT abbruch, weiter;
  bool resizable;
  // QNDUpdater sets the whole window's height, QNDUpdaterP2 its client height.
  int compactHeight, expandedHeight;
};

const Design kDesigns[] = {
    {"QNDUpdater", Program::Local, L"Quendra-Updater", 389, {208, 55}, {299, 55}, false, 170, 340},
    {"QNDUpdaterP2", Program::Dir, L"Quendra Updater", 387, {209, 50}, {295, 50}, true, 134, 314},
};

const Design& DesignOf(Program program) { return kDesigns[program == Program::Local ? 0 : 1]; }

int MeasuredHeight(const Design& design, HWND window) {
  return design.program == Program::Local ? OuterSize(window).cy : ClientSize(window).cy;
}

// A program waiting in its window. QNDUpdaterP2 gets a release-8 installation in a temporary
// folder and its question before the window appears is answered with "&Ja".
struct WaitingUpdater {
  TempDir root;
  std::unique_ptr<SampleInstallation> installation;
  std::unique_ptr<ChildProcess> process;
  HWND window = nullptr;
  HWND questionOwner = nullptr;
};

void Start(Program program, WaitingUpdater& updater) {
  if (program == Program::Local) {
    updater.process = std::make_unique<ChildProcess>(WindowsPath(QND_LOCAL_UPDATER_EXE));
  } else {
    updater.installation = std::make_unique<SampleInstallation>(updater.root);
    updater.process = std::make_unique<ChildProcess>(
        WindowsPath(QND_DIR_UPDATER_EXE),
        L"\"" + platform::win32::Widen(updater.installation->installDir) + L"\"");
  }
  ASSERT_TRUE(updater.process->Started());
  if (program == Program::Dir) {
    const HWND question = updater.process->WaitForWindow(kBoxClass, L"Bestätigen");
    ASSERT_NE(question, nullptr) << "no question before the window";
    updater.questionOwner = ::GetWindow(question, GW_OWNER);
    PressKey(question, VK_RETURN);
  }
  updater.window = updater.process->WaitForWindow(nullptr, DesignOf(program).caption);
  ASSERT_NE(updater.window, nullptr) << "the window did not appear";
}

struct Controls {
  HWND abbruch, weiter, log, status;
};

Controls FindControls(HWND window) {
  Controls controls{FindChild(window, L"Button", L"Abbruch"),
                    FindChild(window, L"Button", L"Weiter"), nullptr, nullptr};
  for (const HWND child : Children(window)) {
    const std::wstring name = ClassName(child);
    // Class names compare without regard to case (Wine registers "RichEdit50W").
    if (::lstrcmpiW(name.c_str(), L"RICHEDIT50W") == 0 ||
        ::lstrcmpiW(name.c_str(), L"RichEdit20W") == 0) {
      controls.log = child;
    }
    if (name == L"msctls_statusbar32") controls.status = child;
  }
  return controls;
}

void ExpectRect(HWND control, int left, int top, int right, int bottom) {
  const RECT rect = RectInParent(control);
  EXPECT_EQ(rect.left, left);
  EXPECT_EQ(rect.top, top);
  EXPECT_EQ(rect.right, right);
  EXPECT_EQ(rect.bottom, bottom);
}

LONG ButtonType(HWND button) { return ::GetWindowLongW(button, GWL_STYLE) & BS_TYPEMASK; }

class DesignTest : public testing::TestWithParam<Design> {};

TEST_P(DesignTest, CompactModeThenExpandedOnEnter) {
  const Design& design = GetParam();
  WaitingUpdater updater;
  ASSERT_NO_FATAL_FAILURE(Start(design.program, updater));
  const HWND window = updater.window;
  if (design.program == Program::Dir) {
    EXPECT_EQ(updater.questionOwner, window);
  }

  const LONG style = ::GetWindowLongW(window, GWL_STYLE);
  for (const LONG part : {WS_SYSMENU, WS_THICKFRAME, WS_MINIMIZEBOX, WS_MAXIMIZEBOX}) {
    EXPECT_EQ((style & part) != 0, design.resizable) << std::hex << part;
  }
  EXPECT_EQ(ClientSize(window).cx, design.clientWidth);
  EXPECT_EQ(MeasuredHeight(design, window), design.compactHeight);

  const Controls controls = FindControls(window);
  ASSERT_TRUE(controls.abbruch && controls.weiter && controls.log && controls.status);
  ExpectRect(controls.abbruch, design.abbruch.x, design.abbruch.y, design.abbruch.x + 85,
             design.abbruch.y + 25);
  ExpectRect(controls.weiter, design.weiter.x, design.weiter.y, design.weiter.x + 85,
             design.weiter.y + 25);
  EXPECT_TRUE(::IsWindowEnabled(controls.weiter));
  EXPECT_EQ(FocusOf(window), controls.weiter);
  EXPECT_EQ(ButtonType(controls.weiter), BS_DEFPUSHBUTTON);
  EXPECT_EQ(ButtonType(controls.abbruch), BS_PUSHBUTTON);
  EXPECT_FALSE(::IsWindowVisible(controls.log));
  const SIZE compact = ClientSize(window);
  ExpectRect(controls.status, 0, compact.cy - kStatusHeight, compact.cx, compact.cy);
  EXPECT_EQ(::SendMessageW(controls.status, SB_GETPARTS, 0, 0), 1);

  PressKey(window, VK_RETURN);
  ASSERT_TRUE(WaitUntil([&] { return ::IsWindowVisible(controls.log) != FALSE; }));
  EXPECT_EQ(MeasuredHeight(design, window), design.expandedHeight);
  const SIZE expanded = ClientSize(window);
  EXPECT_EQ(expanded.cx, design.clientWidth);
  ExpectRect(controls.log, 0, expanded.cy - kStatusHeight - kLogHeight, expanded.cx,
             expanded.cy - kStatusHeight);
  ExpectRect(controls.status, 0, expanded.cy - kStatusHeight, expanded.cx, expanded.cy);
}

INSTANTIATE_TEST_SUITE_P(Programs, DesignTest, testing::ValuesIn(kDesigns),
                         [](const auto& info) { return std::string(info.param.name); });

// Counts the paint messages of the status bar, in front of its own window procedure.
int statusPaints = 0;
WNDPROC statusProcedure = nullptr;

LRESULT CALLBACK CountStatusPaints(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  statusPaints += message == WM_PAINT;
  return ::CallWindowProcW(statusProcedure, window, message, wParam, lParam);
}

// The archive's progress is painted into the status bar at once, in this process's own window,
// while the input waiting in the queue stays there.
TEST(WindowTest, PaintedStatusTextAppearsWithoutHandlingInput) {
  ASSERT_NE(::LoadLibraryW(L"Msftedit.dll"), nullptr);
  platform::WindowDesign design;
  design.caption = "Fortschritt";
  design.clientWidth = 387;
  design.clientHeight = 134;
  platform::win32::Win32UpdaterWindow window(design, MSFTEDIT_CLASS);
  ASSERT_TRUE(window.Created());
  window.Show();
  const HWND frame = FindTopLevelWindow(::GetCurrentProcessId(), nullptr, L"Fortschritt");
  ASSERT_NE(frame, nullptr);
  HWND status = nullptr;
  for (const HWND child : Children(frame)) {
    if (ClassName(child) == L"msctls_statusbar32") status = child;
  }
  ASSERT_NE(status, nullptr);
  window.ProcessPendingEvents();
  statusProcedure = reinterpret_cast<WNDPROC>(
      ::SetWindowLongPtrW(status, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&CountStatusPaints)));
  ::PostMessageW(frame, WM_KEYDOWN, VK_ESCAPE, 0);

  window.PaintStatusText("Die vorherige Quendra Installation wird gesichert ... 42 %");

  wchar_t text[128] = {};
  ::SendMessageW(status, SB_GETTEXTW, 0, reinterpret_cast<LPARAM>(text));
  EXPECT_EQ(std::wstring(text), L"Die vorherige Quendra Installation wird gesichert ... 42 %");
  EXPECT_GT(statusPaints, 0) << "the status bar waits to be painted";
  MSG key;
  EXPECT_TRUE(::PeekMessageW(&key, frame, WM_KEYDOWN, WM_KEYDOWN, PM_REMOVE))
      << "the key was handled";
}

TEST(WindowTest, BoxesOfTheRunBelongToTheWindow) {
  // The test prefix has no Quendra installation, so QNDUpdater's run stops with its error box.
  WaitingUpdater updater;
  ASSERT_NO_FATAL_FAILURE(Start(Program::Local, updater));
  PressKey(updater.window, VK_RETURN);
  const HWND box = updater.process->WaitForWindow(kBoxClass, L"Fehler");
  ASSERT_NE(box, nullptr);
  EXPECT_EQ(::GetWindow(box, GW_OWNER), updater.window);
  PressKey(box, VK_RETURN);
  EXPECT_EQ(updater.process->WaitForExit(), 1u);
}

TEST(WindowTest, ResizedButtonsKeepTheirDistanceToTheRightEdge) {
  WaitingUpdater updater;
  ASSERT_NO_FATAL_FAILURE(Start(Program::Dir, updater));
  const Controls controls = FindControls(updater.window);
  const SIZE outer = OuterSize(updater.window);
  ::SetWindowPos(updater.window, nullptr, 0, 0, outer.cx + 100, outer.cy + 40,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  ASSERT_TRUE(WaitUntil([&] { return ClientSize(updater.window).cx == 487; }));
  const SIZE client = ClientSize(updater.window);
  ExpectRect(controls.abbruch, 309, 50, 309 + 85, 75);
  ExpectRect(controls.weiter, 395, 50, 395 + 85, 75);
  ExpectRect(controls.status, 0, client.cy - kStatusHeight, 487, client.cy);
}

struct Ending {
  const char* name;
  Program program;
  void (*act)(HWND window);
  DWORD exitCode;
};

void PressEsc(HWND window) { PressKey(window, VK_ESCAPE); }
void Close(HWND window) { ::PostMessageW(window, WM_CLOSE, 0, 0); }
// Tab takes the focus to "Abbruch", which then has the default frame and takes Enter.
void TabToAbbruchAndPressEnter(HWND window) {
  const HWND abbruch = FindChild(window, L"Button", L"Abbruch");
  PressKey(window, VK_TAB);
  ASSERT_TRUE(WaitUntil([&] { return FocusOf(window) == abbruch; }));
  ASSERT_TRUE(WaitUntil([&] { return ButtonType(abbruch) == BS_DEFPUSHBUTTON; }));
  EXPECT_EQ(ButtonType(FindChild(window, L"Button", L"Weiter")), BS_PUSHBUTTON);
  PressKey(window, VK_RETURN);
}

class EndingTest : public testing::TestWithParam<Ending> {};

TEST_P(EndingTest, ExitCode) {
  const Ending& ending = GetParam();
  WaitingUpdater updater;
  ASSERT_NO_FATAL_FAILURE(Start(ending.program, updater));
  ASSERT_NO_FATAL_FAILURE(ending.act(updater.window));
  EXPECT_EQ(updater.process->WaitForExit(), ending.exitCode);
}

const Ending kEndings[] = {
    {"LocalEsc", Program::Local, PressEsc, 1},
    {"DirEsc", Program::Dir, PressEsc, 1},
    {"LocalTabEnter", Program::Local, TabToAbbruchAndPressEnter, 1},
    {"LocalClose", Program::Local, Close, 0},
    {"DirClose", Program::Dir, Close, 0},
};

INSTANTIATE_TEST_SUITE_P(Keys, EndingTest, testing::ValuesIn(kEndings),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(QuestionTest, EscAnswersNoBeforeTheWindowAppears) {
  TempDir root;
  const SampleInstallation installation(root);
  ChildProcess process(WindowsPath(QND_DIR_UPDATER_EXE),
                       L"\"" + platform::win32::Widen(installation.installDir) + L"\"");
  const HWND question = process.WaitForWindow(kBoxClass, L"Bestätigen");
  ASSERT_NE(question, nullptr);
  EXPECT_NE(FindChild(question, L"Button", L"&Ja"), nullptr);
  EXPECT_NE(FindChild(question, L"Button", L"&Nein"), nullptr);
  PressKey(question, VK_ESCAPE);
  EXPECT_EQ(process.WaitForExit(), 1u);
}

}  // namespace
}  // namespace qnd::test
