#include "platform/win32/message_boxes.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>

namespace pelorin::win32 {
namespace {

TEST(Win32MessageBoxesTest, FlagsFollowIconButtonsAndModality) {
  MessageBoxRequest request;
  EXPECT_EQ(MessageBoxFlags(request), unsigned{MB_OK});
  request.icon = MessageIcon::Information;
  EXPECT_EQ(MessageBoxFlags(request), unsigned{MB_OK | MB_ICONINFORMATION});
  request.icon = MessageIcon::Error;
  EXPECT_EQ(MessageBoxFlags(request), unsigned{MB_OK | MB_ICONERROR});
  request.icon = MessageIcon::Warning;
  request.buttons = MessageButtons::OkCancel;
  EXPECT_EQ(MessageBoxFlags(request), unsigned{MB_OKCANCEL | MB_ICONWARNING});
  request.icon = MessageIcon::Question;
  request.buttons = MessageButtons::YesNo;
  request.task_modal = true;
  EXPECT_EQ(MessageBoxFlags(request), unsigned{MB_YESNO | MB_ICONQUESTION | MB_TASKMODAL});
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
// and answers it with a button.
TEST(Win32MessageBoxesTest, ShowsTextUnchangedAndReturnsTheButtonChosen) {
  const std::string caption = "Pelorin box test";
  const std::string text =
      "Error opening COM7.\r\rMake sure the selected port\rexists and it is free.";
  std::string seen_text;
  std::atomic<bool> found{false};
  std::thread user([&] {
    for (int attempt = 0; attempt < 500 && !found; ++attempt) {
      HWND box = FindWindowA("#32770", caption.c_str());
      if (box != nullptr && IsWindowVisible(box)) {
        // The box's text is its one static control with text; the icon's
        // static has none.
        for (HWND child = GetWindow(box, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
          char class_name[32] = {};
          char buffer[512] = {};
          GetClassNameA(child, class_name, sizeof class_name);
          if (std::string(class_name) == "Static" &&
              GetWindowTextA(child, buffer, sizeof buffer) > 0)
            seen_text = buffer;
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
}

}  // namespace
}  // namespace pelorin::win32
