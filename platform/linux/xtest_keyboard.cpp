#include "platform/linux/xtest_keyboard.h"

#include <X11/XF86keysym.h>
#include <X11/keysym.h>

#include <algorithm>
#include <array>
#include <cstddef>
#include <string>
#include <utility>
#include <vector>

#include "platform/linux/x11_library.h"
#include "platform/trace.h"

namespace pelorin::linux_os {
namespace {

struct KeySymbol {
  std::uint8_t code;
  KeySym symbol;
};

// The keys outside the letter, digit, function-key and keypad-digit runs.
// The modifiers without a side are the left ones, as a program that sends
// "Ctrl" means the usual Ctrl key.
constexpr auto kNamedSymbols = std::to_array<KeySymbol>({
    {0x08, XK_BackSpace},
    {0x09, XK_Tab},
    {0x0C, XK_Clear},
    {0x0D, XK_Return},
    {0x10, XK_Shift_L},
    {0x11, XK_Control_L},
    {0x12, XK_Alt_L},
    {0x13, XK_Pause},
    {0x14, XK_Caps_Lock},
    {0x1B, XK_Escape},
    {0x20, XK_space},
    {0x21, XK_Prior},
    {0x22, XK_Next},
    {0x23, XK_End},
    {0x24, XK_Home},
    {0x25, XK_Left},
    {0x26, XK_Up},
    {0x27, XK_Right},
    {0x28, XK_Down},
    {0x29, XK_Select},
    {0x2A, XK_Print},
    {0x2B, XK_Execute},
    {0x2C, XK_Print},
    {0x2D, XK_Insert},
    {0x2E, XK_Delete},
    {0x2F, XK_Help},
    {0x5B, XK_Super_L},
    {0x5C, XK_Super_R},
    {0x5D, XK_Menu},
    {0x5F, XF86XK_Sleep},
    {0x6A, XK_KP_Multiply},
    {0x6B, XK_KP_Add},
    {0x6C, XK_KP_Separator},
    {0x6D, XK_KP_Subtract},
    {0x6E, XK_KP_Decimal},
    {0x6F, XK_KP_Divide},
    {0x90, XK_Num_Lock},
    {0x91, XK_Scroll_Lock},
    {0xA0, XK_Shift_L},
    {0xA1, XK_Shift_R},
    {0xA2, XK_Control_L},
    {0xA3, XK_Control_R},
    {0xA4, XK_Alt_L},
    {0xA5, XK_Alt_R},
    {0xA6, XF86XK_Back},
    {0xA7, XF86XK_Forward},
    {0xA8, XF86XK_Refresh},
    {0xA9, XF86XK_Stop},
    {0xAA, XF86XK_Search},
    {0xAB, XF86XK_Favorites},
    {0xAC, XF86XK_HomePage},
    {0xAD, XF86XK_AudioMute},
    {0xAE, XF86XK_AudioLowerVolume},
    {0xAF, XF86XK_AudioRaiseVolume},
    {0xB0, XF86XK_AudioNext},
    {0xB1, XF86XK_AudioPrev},
    {0xB2, XF86XK_AudioStop},
    {0xB3, XF86XK_AudioPlay},
    {0xB4, XF86XK_Mail},
    {0xB5, XF86XK_AudioMedia},
    {0xB6, XF86XK_MyComputer},
    {0xB7, XF86XK_Calculator},
    // Punctuation where a US layout has it.
    {0xBA, XK_semicolon},
    {0xBB, XK_equal},
    {0xBC, XK_comma},
    {0xBD, XK_minus},
    {0xBE, XK_period},
    {0xBF, XK_slash},
    {0xC0, XK_grave},
    {0xDB, XK_bracketleft},
    {0xDC, XK_backslash},
    {0xDD, XK_bracketright},
    {0xDE, XK_apostrophe},
    // The extra key beside the left Shift of a 102-key keyboard.
    {0xE2, XK_less},
});

constexpr std::uint8_t kF1 = 0x70;
constexpr std::uint8_t kF24 = 0x87;
constexpr std::uint8_t kNumpad0 = 0x60;
constexpr std::uint8_t kNumpad9 = 0x69;

// The symbol of the key `code` names, or NoSymbol.
KeySym SymbolOf(std::uint8_t code) {
  // Letters go as their lower-case symbols: the key, not the character.
  if (code >= 'A' && code <= 'Z') return XK_a + (code - 'A');
  if (code >= '0' && code <= '9') return XK_0 + (code - '0');
  if (code >= kF1 && code <= kF24) return XK_F1 + (code - kF1);
  if (code >= kNumpad0 && code <= kNumpad9) return XK_KP_0 + (code - kNumpad0);
  for (const auto& entry : kNamedSymbols) {
    if (entry.code == code) return entry.symbol;
  }
  return NoSymbol;
}

// The connections of the keyboards; the user-interface thread is the only
// one that opens and closes them.
std::vector<Display*>& KeyboardConnections() {
  static std::vector<Display*> connections;
  return connections;
}

int (*previous_io_error_handler)(Display*) = nullptr;

// Xlib's handler for a failed connection is process-wide and its default
// ends the process. For a keyboard's connection this one returns, so that
// Xlib calls the connection's exit handler (MarkConnectionLost) instead;
// other connections keep the handler they had.
int ReturnForKeyboardConnections(Display* display) {
  const auto& ours = KeyboardConnections();
  if (std::find(ours.begin(), ours.end(), display) != ours.end()) return 0;
  return previous_io_error_handler != nullptr ? previous_io_error_handler(display) : 0;
}

// Xlib calls this instead of ending the process when the connection fails;
// `lost` is the keyboard's flag.
void MarkConnectionLost(Display* /*display*/, void* lost) {
  *static_cast<bool*>(lost) = true;
}

struct XFreeDeleter {
  void operator()(KeySym* symbols) const { Xlib().XFree(symbols); }
};

}  // namespace

void XTestKeyboard::DisplayCloser::operator()(_XDisplay* display) const {
  auto& ours = KeyboardConnections();
  ours.erase(std::remove(ours.begin(), ours.end(), display), ours.end());
  // Xlib sends nothing more on a connection that already failed.
  Xlib().XCloseDisplay(display);
}

Opened<XTestKeyboard> XTestKeyboard::Open(const char* display_name) {
  const std::string name = DisplayNameFor(display_name);
  // Without a display to connect to, Xlib is not even loaded.
  if (name.empty()) return OsError{0, "XOpenDisplay", name, "DISPLAY is not set"};
  std::string why;
  if (LoadXLibrary(why) == nullptr) return OsError{0, "XOpenDisplay", name, why};
  Display* display = Xlib().XOpenDisplay(name.c_str());
  if (display == nullptr) return OsError{0, "XOpenDisplay", name, "no connection"};
  std::unique_ptr<XTestKeyboard> keyboard(new XTestKeyboard(display, name));
  int event_base = 0;
  int error_base = 0;
  int major = 0;
  int minor = 0;
  if (!Xlib().XTestQueryExtension(display, &event_base, &error_base, &major, &minor)) {
    return OsError{0, "XTestQueryExtension", name, "the server has no XTEST extension"};
  }
  return keyboard;
}

XTestKeyboard::XTestKeyboard(_XDisplay* display, std::string display_name)
    : display_(display), display_name_(std::move(display_name)) {
  // A lost X server must not end the program (Xlib's default): the other
  // commands still work without keys.
  static int (*const installed)(Display*) =
      Xlib().XSetIOErrorHandler(&ReturnForKeyboardConnections);
  previous_io_error_handler = installed;
  KeyboardConnections().push_back(display);
  Xlib().XSetIOErrorExitHandler(display, &MarkConnectionLost, &connection_lost_);
}

XTestKeyboard::~XTestKeyboard() {
  if (connection_lost_) return;
  KeySym nothing = NoSymbol;
  for (const auto& [symbol, key] : bound_) {
    Xlib().XChangeKeyboardMapping(display_.get(), key, 1, &nothing, 1);
  }
}

void XTestKeyboard::DrainEvents() {
  XEvent event;
  // A connection that fails while it is read reports pending events it
  // cannot deliver: stop there.
  while (!connection_lost_ && Xlib().XPending(display_.get()) > 0) {
    Xlib().XNextEvent(display_.get(), &event);
    if (event.type == MappingNotify) Xlib().XRefreshKeyboardMapping(&event.xmapping);
  }
}

std::uint8_t XTestKeyboard::KeyCodeFor(unsigned long symbol) {
  const KeyCode key = Xlib().XKeysymToKeycode(display_.get(), symbol);
  if (key != 0) return key;
  for (const auto& [bound_symbol, bound_key] : bound_) {
    if (bound_symbol == symbol) return bound_key;
  }
  return BindToSpareKeyCode(symbol);
}

std::uint8_t XTestKeyboard::BindToSpareKeyCode(unsigned long symbol) {
  int first = 0;
  int last = 0;
  Xlib().XDisplayKeycodes(display_.get(), &first, &last);
  int per_key = 0;
  const std::unique_ptr<KeySym, XFreeDeleter> map(Xlib().XGetKeyboardMapping(
      display_.get(), static_cast<KeyCode>(first), last - first + 1, &per_key));
  if (map == nullptr) return 0;
  // From the top: the low key codes are the ones real keyboards use.
  for (int key = last; key >= first; --key) {
    const KeySym* row = map.get() + static_cast<std::ptrdiff_t>(key - first) * per_key;
    if (std::any_of(row, row + per_key, [](KeySym s) { return s != NoSymbol; })) continue;
    KeySym bound = symbol;
    Xlib().XChangeKeyboardMapping(display_.get(), key, 1, &bound, 1);
    // The server must know the binding before the key event names it.
    Xlib().XSync(display_.get(), False);
    bound_.emplace_back(symbol, static_cast<std::uint8_t>(key));
    return static_cast<std::uint8_t>(key);
  }
  return 0;
}

void XTestKeyboard::KeyEvent(std::uint8_t code, bool up) {
  if (!connection_lost_) DrainEvents();
  if (connection_lost_) {
    if (!std::exchange(loss_reported_, true)) {
      Trace("Key events are dropped: the connection to X display " + display_name_ + " was lost");
    }
    return;
  }
  const KeySym symbol = SymbolOf(code);
  const std::uint8_t key = symbol == NoSymbol ? 0 : KeyCodeFor(symbol);
  // Key code 0 would be a protocol error, which Xlib's default handler
  // answers by ending the process.
  if (key == 0) {
    Trace("No key on X display " + display_name_ + " for virtual key " + std::to_string(code));
    return;
  }
  Xlib().XTestFakeKeyEvent(display_.get(), key, up ? False : True, CurrentTime);
  Xlib().XFlush(display_.get());
}

}  // namespace pelorin::linux_os
