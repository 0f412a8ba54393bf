// The Linux keyboards against a real X server: a small X client of the test
// receives what the key commands send.
#include "platform/linux/keyboard_choice.h"

#include <poll.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "actions/keys_and_start.h"
#include "config/settings.h"
#include "platform/linux/uinput_keyboard.h"
#include "platform/linux/xtest_keyboard.h"
#include "xvfb_server.h"

// Last: Xlib's macros (None, Bool, Status) would break the headers above.
#include <X11/XKBlib.h>
#include <X11/Xlib.h>
#include <X11/keysym.h>

namespace pelorin::linux_os {
namespace {

using testing::XvfbServer;

class RecordingSink final : public TraceSink {
 public:
  void WriteLine(std::string_view line) override { lines.emplace_back(line); }
  std::vector<std::string> lines;
};

// A focused window that writes down every key event it receives as
// "Ctrl+Alt+a down": the modifiers held, the key's first symbol, the
// direction; "(sent)" marks an event another client made up.
class KeyCatcher {
 public:
  explicit KeyCatcher(const std::string& display) : display_(XOpenDisplay(display.c_str())) {
    window_ = XCreateSimpleWindow(display_, DefaultRootWindow(display_), 0, 0, 200, 100, 0, 0, 0);
    XSelectInput(display_, window_, KeyPressMask | KeyReleaseMask | StructureNotifyMask);
    XMapWindow(display_, window_);
    XEvent event;
    do XNextEvent(display_, &event);
    while (event.type != MapNotify);
    XSetInputFocus(display_, window_, RevertToParent, CurrentTime);
    XSync(display_, False);
  }
  ~KeyCatcher() { XCloseDisplay(display_); }

  // The events up to the release of `last`, which ends the list unnamed.
  std::string EventsUntil(KeySym last) {
    std::string events;
    XEvent event;
    pollfd connection{ConnectionNumber(display_), POLLIN, 0};
    while (XPending(display_) > 0 || poll(&connection, 1, 5000) > 0) {
      XNextEvent(display_, &event);
      // The keyboard binds keys the map lacks to spare key codes.
      if (event.type == MappingNotify) XRefreshKeyboardMapping(&event.xmapping);
      if (event.type != KeyPress && event.type != KeyRelease) continue;
      const KeySym symbol = XkbKeycodeToKeysym(display_, event.xkey.keycode, 0, 0);
      if (symbol == last) {
        if (event.type == KeyRelease) return events;
        continue;
      }
      const unsigned state = event.xkey.state;
      events += std::string(events.empty() ? "" : ", ") + (state & ShiftMask ? "Shift+" : "") +
                (state & ControlMask ? "Ctrl+" : "") + (state & Mod1Mask ? "Alt+" : "") +
                XKeysymToString(symbol) + (event.type == KeyPress ? " down" : " up") +
                (event.xkey.send_event ? " (sent)" : "");
    }
    return events + " <no end>";
  }

 private:
  Display* display_;
  Window window_;
};

TEST(XTestKeyboardTest, KeyWordsArriveAsKeysWithTheirModifiersInOrder) {
  XvfbServer server;
  ASSERT_FALSE(server.display().empty()) << "Xvfb did not start";
  KeyCatcher catcher(server.display());
  RecordingSink notices;
  auto keyboard = ChooseKeyboard({server.display().c_str(), "/nonexistent/uinput"}, notices);
  const struct {
    std::uint16_t key;
    const char* events;
  } cases[] = {
      {'A' | kKeyCtrl | kKeyAlt,
       "Alt_L down, Alt+Control_L down, Ctrl+Alt+a down, Ctrl+Alt+a up, Ctrl+Alt+Control_L up, "
       "Alt+Alt_L up"},
      {0x74 | kKeyShift, "Shift_L down, Shift+F5 down, Shift+F5 up, Shift+Shift_L up"},
      {'7' | kKeyCtrl, "Control_L down, Ctrl+7 down, Ctrl+7 up, Ctrl+Control_L up"},
      {0x27, "Right down, Right up"},
      {0x22, "Next down, Next up"},
      // Keypad keys read as their symbols with Num Lock off.
      {0x67, "KP_Home down, KP_Home up"},
      {0x0D, "Return down, Return up"},
      {0xBA, "semicolon down, semicolon up"},
      {0xE2, "less down, less up"},
      {0xB3, "XF86AudioPlay down, XF86AudioPlay up"},
      {0xAF, "XF86AudioRaiseVolume down, XF86AudioRaiseVolume up"},
      // Keys the map lacks are bound to spare key codes.
      {0x87, "F24 down, F24 up"},
      {0x7C | kKeyAlt, "Alt_L down, Alt+F13 down, Alt+F13 up, Alt+Alt_L up"},
      // No key for this code: only the modifier moves.
      {0x07 | kKeyShift, "Shift_L down, Shift+Shift_L up"},
  };
  for (const auto& c : cases) {
    PressKey(*keyboard, c.key);
    PressKey(*keyboard, 0x1B);
    EXPECT_EQ(catcher.EventsUntil(XK_Escape), c.events) << "key word " << c.key;
  }
  EXPECT_TRUE(notices.lines.empty());
}

TEST(XTestKeyboardTest, AnXServerThatEndsLeavesTheProgramRunning) {
  XvfbServer server;
  auto keyboard = XTestKeyboard::Open(server.display().c_str());
  ASSERT_TRUE(keyboard) << Describe(keyboard.error());
  server.End();
  PressKey(*keyboard, 'A' | kKeyShift);
  PressKey(*keyboard, 'B');
}

TEST(KeyboardChoiceTest, WithoutDisplayOrUinputKeysDoNothingAndSaySoOnce) {
  RecordingSink notices;
  auto keyboard = ChooseKeyboard({":59999", "/nonexistent/uinput"}, notices);
  EXPECT_TRUE(notices.lines.empty()) << "said before any key was sent";
  PressKey(*keyboard, 'A' | kKeyCtrl);
  PressKey(*keyboard, 'B');
  ASSERT_EQ(notices.lines.size(), 1U);
  EXPECT_NE(notices.lines[0].find("XOpenDisplay :59999"), std::string::npos) << notices.lines[0];
  EXPECT_NE(notices.lines[0].find("open /nonexistent/uinput: error 2"), std::string::npos)
      << notices.lines[0];
}

// A path that opens but is no uinput device (a plain file here, where the
// kernel lacks uinput) fails at making the device, and says which call.
TEST(KeyboardChoiceTest, ANonUinputDeviceIsRefusedWithTheCallThatFailed) {
  const std::string path = ::testing::TempDir() + "pelorin-not-uinput";
  { std::ofstream file(path); }
  auto keyboard = UinputKeyboard::Open(path.c_str());
  ASSERT_FALSE(keyboard);
  EXPECT_NE(Describe(keyboard.error()).find("create uinput device " + path),
            std::string::npos)
      << Describe(keyboard.error());
  std::remove(path.c_str());
}

}  // namespace
}  // namespace pelorin::linux_os
