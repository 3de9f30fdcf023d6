// The window's boxes in this process: the question shown from a second thread while the test finds
// it, reads its buttons and answers it the way a user would.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <functional>
#include <future>
#include <optional>

#include "platform/win32/dialog/message_boxes.h"
#include "tests/gui/win32_gui_support.h"

namespace qnd::test {
namespace {

using platform::win32::AskGermanYesNo;
using platform::win32::ShowErrorMessage;

constexpr wchar_t kBoxClass[] = L"#32770";

HWND WaitForOwnBox(const std::wstring& title) {
  return WaitFor<HWND>([&]() -> std::optional<HWND> {
           if (const HWND box = FindTopLevelWindow(::GetCurrentProcessId(), kBoxClass, title)) {
             return box;
           }
           return std::nullopt;
         })
      .value_or(nullptr);
}

// A box shown by a second thread. A test that fails with the box still open closes it at its end,
// so the thread can finish.
class BoxOnThread {
 public:
  BoxOnThread(std::wstring title, std::function<bool()> show)
      : title_(std::move(title)), result_(std::async(std::launch::async, std::move(show))) {}
  ~BoxOnThread() {
    while (result_.valid() &&
           result_.wait_for(std::chrono::milliseconds(50)) != std::future_status::ready) {
      if (const HWND box = FindTopLevelWindow(::GetCurrentProcessId(), kBoxClass, title_)) {
        ::PostMessageW(box, WM_CLOSE, 0, 0);
      }
    }
  }
  BoxOnThread(const BoxOnThread&) = delete;
  BoxOnThread& operator=(const BoxOnThread&) = delete;

  HWND WaitForBox() const { return WaitForOwnBox(title_); }
  /// What the box returned, once it is closed.
  std::optional<bool> Result() {
    if (result_.wait_for(std::chrono::seconds(20)) != std::future_status::ready)
      return std::nullopt;
    return result_.get();
  }

 private:
  std::wstring title_;
  std::future<bool> result_;
};

std::vector<HWND> VisibleButtons(HWND box) {
  std::vector<HWND> buttons;
  for (const HWND child : Children(box)) {
    if (ClassName(child) == L"Button" && ::IsWindowVisible(child)) buttons.push_back(child);
  }
  return buttons;
}

struct Answer {
  const char* name;
  void (*act)(HWND box);
  bool expected;
};

void PressEsc(HWND box) { PressKey(box, VK_ESCAPE); }
void PressEnter(HWND box) { PressKey(box, VK_RETURN); }
void ClickJa(HWND box) { ::SendMessageW(FindChild(box, L"Button", L"&Ja"), BM_CLICK, 0, 0); }
void ClickNein(HWND box) { ::SendMessageW(FindChild(box, L"Button", L"&Nein"), BM_CLICK, 0, 0); }
void CloseBox(HWND box) { ::PostMessageW(box, WM_CLOSE, 0, 0); }

class QuestionBoxTest : public testing::TestWithParam<Answer> {};

TEST_P(QuestionBoxTest, OnlyJaIsYes) {
  BoxOnThread question(L"Bestätigen", [] {
    return AskGermanYesNo(nullptr, "Bestätigen", "Soll die Installation fortgesetzt werden?");
  });
  const HWND box = question.WaitForBox();
  ASSERT_NE(box, nullptr);

  // "&Ja" and "&Nein" side by side, "&Ja" focused as the default, the pair centred in the box.
  const std::vector<HWND> buttons = VisibleButtons(box);
  ASSERT_EQ(buttons.size(), 2u);
  const HWND ja = FindChild(box, L"Button", L"&Ja");
  const HWND nein = FindChild(box, L"Button", L"&Nein");
  ASSERT_TRUE(ja && nein);
  EXPECT_TRUE(::IsWindowVisible(ja) && ::IsWindowVisible(nein));
  EXPECT_EQ(FocusOf(box), ja);
  const RECT jaRect = RectInParent(ja), neinRect = RectInParent(nein);
  EXPECT_LT(jaRect.right, neinRect.left);
  const int leftSpace = jaRect.left;
  const int rightSpace = ClientSize(box).cx - neinRect.right;
  // Within the few pixels by which the system centres a row of buttons unevenly.
  EXPECT_LE(std::abs(leftSpace - rightSpace), 8) << leftSpace << " / " << rightSpace;

  GetParam().act(box);
  EXPECT_EQ(question.Result(), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Answers, QuestionBoxTest,
                         testing::Values(Answer{"Enter", PressEnter, true},
                                         Answer{"ClickJa", ClickJa, true},
                                         Answer{"Esc", PressEsc, false},
                                         Answer{"ClickNein", ClickNein, false},
                                         Answer{"CloseBox", CloseBox, false}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(ErrorBoxTest, ErrorIconAndOneOk) {
  BoxOnThread error(L"Fehler", [] {
    ShowErrorMessage(nullptr, "Fehler", "Die Datei fehlt.");
    return true;
  });
  const HWND box = error.WaitForBox();
  ASSERT_NE(box, nullptr);
  const std::vector<HWND> buttons = VisibleButtons(box);
  ASSERT_EQ(buttons.size(), 1u);
  EXPECT_EQ(WindowText(buttons[0]), L"OK");
  EXPECT_EQ(::GetDlgCtrlID(buttons[0]), IDOK);
  EXPECT_NE(FindChild(box, L"Static", L"Die Datei fehlt."), nullptr);

  // The box's icon is the system's shared error icon.
  HICON icon = nullptr;
  for (const HWND child : Children(box)) {
    if (ClassName(child) == L"Static" &&
        (::GetWindowLongW(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON) {
      icon = reinterpret_cast<HICON>(::SendMessageW(child, STM_GETICON, 0, 0));
    }
  }
  EXPECT_EQ(icon, ::LoadIconW(nullptr, IDI_ERROR));

  PressKey(box, VK_RETURN);
  EXPECT_TRUE(error.Result().has_value()) << "Enter did not close the box";
}

}  // namespace
}  // namespace qnd::test
