#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "platform/keyboard.h"
#include "platform/os_error.h"

// Xlib's display type, declared here so that users of this header do not
// take in Xlib's macros (None, Status, Bool...).
struct _XDisplay;  // NOLINT(bugprone-reserved-identifier)

namespace pelorin::linux_os {

// Key events through the XTEST extension of an X server (XWayland too):
// they reach the X window that has the keyboard focus as if typed. Each
// virtual-key code becomes the X key symbol of the key it names on a US
// layout (letters, digits, function keys, the navigation block, the keypad,
// the modifiers, punctuation) or the XF86 symbol of a media, volume,
// browser or launch key, and that symbol the first key code of the
// server's keyboard map that carries it. A symbol the map lacks (F13-F24 on
// most desktops) is bound to a spare key code for as long as the keyboard
// lives, so that it arrives as itself; a code without a symbol sends
// nothing.
class XTestKeyboard final : public Keyboard {
 public:
  // Connects to `display_name` (null: the one $DISPLAY names) and checks
  // that the server offers XTEST. Fails with operation "XOpenDisplay" when
  // no connection can be made, "XTestQueryExtension" when the extension is
  // missing; the subject is the display's name.
  static Opened<XTestKeyboard> Open(const char* display_name);

  ~XTestKeyboard() override;
  XTestKeyboard(const XTestKeyboard&) = delete;
  XTestKeyboard& operator=(const XTestKeyboard&) = delete;

  // Sends the event and flushes it at once, so that a press and its release
  // reach the server in the order the caller made them. After the
  // connection is lost (the X server ended) events do nothing: the loss is
  // reported once on the trace and the program goes on.
  void KeyEvent(std::uint8_t code, bool up) override;

  // The display's name as Xlib resolved it, e.g. ":0".
  const std::string& display_name() const { return display_name_; }

 private:
  struct DisplayCloser {
    void operator()(_XDisplay* display) const;
  };
  XTestKeyboard(_XDisplay* display, std::string display_name);
  // Reads what the server sent: keyboard map changes (another layout, a
  // binding of ours) must reach the key code lookup, and nothing else may
  // pile up unread.
  void DrainEvents();
  // The key code that sends `symbol`, binding it to a spare one when the
  // map has none; 0 when there is none to spare.
  std::uint8_t KeyCodeFor(unsigned long symbol);
  std::uint8_t BindToSpareKeyCode(unsigned long symbol);

  std::unique_ptr<_XDisplay, DisplayCloser> display_;
  std::string display_name_;
  // The symbols bound to spare key codes, unbound again on destruction.
  std::vector<std::pair<unsigned long, std::uint8_t>> bound_;
  // Set by Xlib's exit handler when the connection fails; from then on the
  // display may only be closed.
  bool connection_lost_ = false;
  bool loss_reported_ = false;
};

}  // namespace pelorin::linux_os
