#include "platform/win32/message_boxes.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <string_view>
#include <thread>

#include "platform/win32/wide_text.h"

namespace pelorin::win32 {
namespace {

// Every box also comes in front: the program is in the background whenever
// it asks, and a box behind the active window leaves the buttons dead.
TEST(Win32MessageBoxesTest, FlagsFollowIconButtonsAndModalityAndAlwaysComeInFront) {
  constexpr unsigned kInFront = MB_TOPMOST | MB_SETFOREGROUND;
  struct Case {
    MessageIcon icon;
    MessageButtons buttons;
    bool task_modal;
    int default_button;
    unsigned flags;
  };
  const Case cases[] = {
      {MessageIcon::None, MessageButtons::Ok, false, 1, MB_OK},
      {MessageIcon::Information, MessageButtons::Ok, false, 1, MB_OK | MB_ICONINFORMATION},
      {MessageIcon::Error, MessageButtons::Ok, false, 1, MB_OK | MB_ICONERROR},
      {MessageIcon::Warning, MessageButtons::OkCancel, false, 1, MB_OKCANCEL | MB_ICONWARNING},
      {MessageIcon::Question, MessageButtons::YesNo, true, 1,
       MB_YESNO | MB_ICONQUESTION | MB_TASKMODAL},
      {MessageIcon::Warning, MessageButtons::YesNo, false, 2,
       MB_YESNO | MB_ICONWARNING | MB_DEFBUTTON2},
  };
  for (const Case& c : cases) {
    MessageBoxRequest request;
    request.icon = c.icon;
    request.buttons = c.buttons;
    request.task_modal = c.task_modal;
    request.default_button = c.default_button;
    EXPECT_EQ(MessageBoxFlags(request), c.flags | kInFront) << "expected flags " << c.flags;
  }
}

TEST(Win32MessageBoxesTest, BoxThatCouldNotBeShownAnswersAsDismissed) {
  EXPECT_EQ(AnswerFromResult(IDYES, MessageButtons::YesNo), MessageAnswer::Yes);
  EXPECT_EQ(AnswerFromResult(IDNO, MessageButtons::YesNo), MessageAnswer::No);
  EXPECT_EQ(AnswerFromResult(IDCANCEL, MessageButtons::OkCancel), MessageAnswer::Cancel);
  EXPECT_EQ(AnswerFromResult(0, MessageButtons::Ok), MessageAnswer::Ok);
  EXPECT_EQ(AnswerFromResult(0, MessageButtons::OkCancel), MessageAnswer::Cancel);
  EXPECT_EQ(AnswerFromResult(0, MessageButtons::YesNo), MessageAnswer::No);
}

// Shows a real box, reads it from another thread the way a user sees it,
// and answers it with a button. Its texts hold characters no ANSI code page
// has all of, and it must stay above other programs' windows.
TEST(Win32MessageBoxesTest, ShowsTextUnchangedInFrontAndReturnsTheButtonChosen) {
  const std::string caption = "Pelorin box test \xE6\x97\xA5\xE6\x9C\xAC";
  const std::string text =
      "Error opening COM7.\r\rC:\\Pr\xC3\xBC"
      "fung\\\xE6\x97\xA5\xE6\x9C\xAC\rexists and it is free.";
  std::string seen_text;
  std::atomic<bool> found{false};
  bool topmost = false;
  std::thread user([&] {
    for (int attempt = 0; attempt < 500 && !found; ++attempt) {
      HWND box = FindWindowW(L"#32770", Widen(caption).c_str());
      if (box != nullptr && IsWindowVisible(box)) {
        topmost = (GetWindowLongPtrW(box, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
        // The box's text is its one static control with text; the icon's
        // static has none.
        for (HWND child = GetWindow(box, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
          wchar_t class_name[32] = {};
          wchar_t buffer[512] = {};
          GetClassNameW(child, class_name, 32);
          if (std::wstring_view(class_name) == L"Static" && GetWindowTextW(child, buffer, 512) > 0)
            seen_text = Narrow(buffer);
        }
        PostMessageA(box, WM_COMMAND, IDNO, 0);
        found = true;
      }
      Sleep(10);  // polling another thread's window; not logic under test
    }
  });
  MessageBoxes boxes;
  const MessageAnswer answer = boxes.Show({.text = text,
                                           .caption = caption,
                                           .icon = MessageIcon::Question,
                                           .buttons = MessageButtons::YesNo});
  user.join();
  ASSERT_TRUE(found);
  EXPECT_EQ(answer, MessageAnswer::No);
  EXPECT_EQ(seen_text, text);
  EXPECT_TRUE(topmost);
}

}  // namespace
}  // namespace pelorin::win32
