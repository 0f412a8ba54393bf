// The Win32 window messaging backend within one process.
#include "platform/win32/window_messaging.h"

#include <windows.h>

#include <gtest/gtest.h>

// The interface's method shares its name with a user32 macro.
#undef FindWindow

namespace pelorin::win32 {
namespace {

TEST(Win32WindowMessagingTest, NoWindowReceivesNothingAndAnswersZero) {
  Win32WindowMessaging messaging;
  MSG stray;
  while (PeekMessageA(&stray, nullptr, 0, 0, PM_REMOVE)) {
  }
  // PostMessage to a null window would land in this thread's own queue.
  messaging.Post(kNoWindow, WM_APP + 7, 1, 2);
  EXPECT_FALSE(PeekMessageA(&stray, nullptr, WM_APP + 7, WM_APP + 7, PM_REMOVE));
  EXPECT_EQ(messaging.Send(kNoWindow, WM_USER, 0, 104), 0);
  EXPECT_EQ(messaging.SendAndWait(kNoWindow, WM_USER, 0, 104), 0);
}

TEST(Win32WindowMessagingTest, FindsAWindowByClassAndCaption) {
  WNDCLASSA wc{};
  wc.lpfnWndProc = DefWindowProcA;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.lpszClassName = "PelorinMessagingTestClass";
  RegisterClassA(&wc);
  HWND window = CreateWindowExA(0, wc.lpszClassName, "Caption", WS_OVERLAPPED, 0, 0, 10, 10,
                                nullptr, nullptr, wc.hInstance, nullptr);
  ASSERT_NE(window, nullptr);

  Win32WindowMessaging messaging;
  EXPECT_EQ(messaging.FindWindow("PelorinMessagingTestClass"), reinterpret_cast<WindowId>(window));
  EXPECT_EQ(messaging.FindWindow("PelorinMessagingTestClass", "Caption"),
            reinterpret_cast<WindowId>(window));
  EXPECT_EQ(messaging.FindWindow("PelorinMessagingTestClass", "Other"), kNoWindow);
  DestroyWindow(window);
  EXPECT_EQ(messaging.FindWindow("PelorinMessagingTestClass"), kNoWindow);
}

}  // namespace
}  // namespace pelorin::win32
