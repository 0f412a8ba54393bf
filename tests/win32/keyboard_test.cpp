// Key events from the Win32 keyboard backend, as a focused window of this
// process receives them.
#include "platform/win32/keyboard.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace pelorin::win32 {
namespace {

struct KeyMessage {
  UINT message;
  WPARAM key;
  LPARAM details;
};

std::vector<KeyMessage>* g_received = nullptr;

LRESULT CALLBACK RecordKeys(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
  if ((message == WM_KEYDOWN || message == WM_KEYUP) && g_received != nullptr) {
    g_received->push_back({message, wparam, lparam});
    return 0;
  }
  return DefWindowProcW(hwnd, message, wparam, lparam);
}

// Pumps this thread's messages until `count` key messages arrived or about
// two seconds passed: the input reaches the window through the system queue.
void PumpUntil(const std::vector<KeyMessage>& received, std::size_t count) {
  for (int round = 0; round < 200 && received.size() < count; ++round) {
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
  }
}

// Each key goes down and up once; the window must see the scan code of the
// current layout in bits 16-23 and the extended flag in bit 24 exactly for
// the extended keys (an arrow sent without it is the keypad's 4).
TEST(Win32KeyboardTest, KeysArriveWithScanCodeAndExtendedFlagWhereDue) {
  struct Case {
    std::uint8_t key;
    bool extended;
    std::uint8_t arrives_as;  // the window sees either Ctrl as VK_CONTROL
  };
  const Case cases[] = {
      {VK_LEFT, true, VK_LEFT},           {VK_HOME, true, VK_HOME},
      {VK_NEXT, true, VK_NEXT},           {VK_DELETE, true, VK_DELETE},
      {VK_DIVIDE, true, VK_DIVIDE},       {VK_RCONTROL, true, VK_CONTROL},
      {VK_NUMPAD4, false, VK_NUMPAD4},    {'A', false, 'A'},
      {VK_RETURN, false, VK_RETURN},      {VK_MEDIA_PLAY_PAUSE, true, VK_MEDIA_PLAY_PAUSE},
      {VK_VOLUME_UP, true, VK_VOLUME_UP}, {VK_F5, false, VK_F5},
  };

  WNDCLASSW wc{};
  wc.lpfnWndProc = RecordKeys;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.lpszClassName = L"PelorinKeyboardTestClass";
  RegisterClassW(&wc);
  HWND window = CreateWindowExW(0, wc.lpszClassName, L"Keys", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0,
                                0, 100, 100, nullptr, nullptr, wc.hInstance, nullptr);
  ASSERT_NE(window, nullptr);
  SetForegroundWindow(window);
  SetFocus(window);

  std::vector<KeyMessage> received;
  g_received = &received;
  Win32Keyboard keyboard;
  for (const Case& c : cases) {
    received.clear();
    keyboard.KeyEvent(c.key, false);
    keyboard.KeyEvent(c.key, true);
    PumpUntil(received, 2);
    ASSERT_EQ(received.size(), 2u) << "key " << int{c.key};
    const LPARAM scan = static_cast<LPARAM>(MapVirtualKeyW(c.key, MAPVK_VK_TO_VSC));
    EXPECT_EQ(received[0].message, UINT{WM_KEYDOWN}) << "key " << int{c.key};
    EXPECT_EQ(received[1].message, UINT{WM_KEYUP}) << "key " << int{c.key};
    for (const KeyMessage& m : received) {
      EXPECT_EQ(m.key, WPARAM{c.arrives_as});
      EXPECT_EQ((m.details >> 16) & 0xFF, scan) << "key " << int{c.key};
      EXPECT_EQ(((m.details >> 24) & 1) != 0, c.extended) << "key " << int{c.key};
    }
  }
  g_received = nullptr;
  DestroyWindow(window);
  UnregisterClassW(wc.lpszClassName, wc.hInstance);
}

}  // namespace
}  // namespace pelorin::win32
