#include "platform/linux/uinput_keyboard.h"

#include <fcntl.h>
#include <linux/uinput.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstring>
#include <string>
#include <utility>

#include "platform/posix/system_error.h"
#include "platform/trace.h"

namespace pelorin::linux_os {
namespace {

struct EvdevKey {
  std::uint8_t code;
  std::uint16_t key;
};

// Every virtual key with a key of its own on a PC keyboard. The modifiers
// without a side are the left ones.
constexpr auto kEvdevKeys = std::to_array<EvdevKey>({
    {'A', KEY_A},
    {'B', KEY_B},
    {'C', KEY_C},
    {'D', KEY_D},
    {'E', KEY_E},
    {'F', KEY_F},
    {'G', KEY_G},
    {'H', KEY_H},
    {'I', KEY_I},
    {'J', KEY_J},
    {'K', KEY_K},
    {'L', KEY_L},
    {'M', KEY_M},
    {'N', KEY_N},
    {'O', KEY_O},
    {'P', KEY_P},
    {'Q', KEY_Q},
    {'R', KEY_R},
    {'S', KEY_S},
    {'T', KEY_T},
    {'U', KEY_U},
    {'V', KEY_V},
    {'W', KEY_W},
    {'X', KEY_X},
    {'Y', KEY_Y},
    {'Z', KEY_Z},
    {'0', KEY_0},
    {'1', KEY_1},
    {'2', KEY_2},
    {'3', KEY_3},
    {'4', KEY_4},
    {'5', KEY_5},
    {'6', KEY_6},
    {'7', KEY_7},
    {'8', KEY_8},
    {'9', KEY_9},
    {0x70, KEY_F1},
    {0x71, KEY_F2},
    {0x72, KEY_F3},
    {0x73, KEY_F4},
    {0x74, KEY_F5},
    {0x75, KEY_F6},
    {0x76, KEY_F7},
    {0x77, KEY_F8},
    {0x78, KEY_F9},
    {0x79, KEY_F10},
    {0x7A, KEY_F11},
    {0x7B, KEY_F12},
    {0x7C, KEY_F13},
    {0x7D, KEY_F14},
    {0x7E, KEY_F15},
    {0x7F, KEY_F16},
    {0x80, KEY_F17},
    {0x81, KEY_F18},
    {0x82, KEY_F19},
    {0x83, KEY_F20},
    {0x84, KEY_F21},
    {0x85, KEY_F22},
    {0x86, KEY_F23},
    {0x87, KEY_F24},
    {0x60, KEY_KP0},
    {0x61, KEY_KP1},
    {0x62, KEY_KP2},
    {0x63, KEY_KP3},
    {0x64, KEY_KP4},
    {0x65, KEY_KP5},
    {0x66, KEY_KP6},
    {0x67, KEY_KP7},
    {0x68, KEY_KP8},
    {0x69, KEY_KP9},
    {0x6A, KEY_KPASTERISK},
    {0x6B, KEY_KPPLUS},
    {0x6C, KEY_KPCOMMA},
    {0x6D, KEY_KPMINUS},
    {0x6E, KEY_KPDOT},
    {0x6F, KEY_KPSLASH},
    {0x90, KEY_NUMLOCK},
    {0x91, KEY_SCROLLLOCK},
    {0x08, KEY_BACKSPACE},
    {0x09, KEY_TAB},
    {0x0C, KEY_CLEAR},
    {0x0D, KEY_ENTER},
    {0x10, KEY_LEFTSHIFT},
    {0x11, KEY_LEFTCTRL},
    {0x12, KEY_LEFTALT},
    {0x13, KEY_PAUSE},
    {0x14, KEY_CAPSLOCK},
    {0x1B, KEY_ESC},
    {0x20, KEY_SPACE},
    {0x21, KEY_PAGEUP},
    {0x22, KEY_PAGEDOWN},
    {0x23, KEY_END},
    {0x24, KEY_HOME},
    {0x25, KEY_LEFT},
    {0x26, KEY_UP},
    {0x27, KEY_RIGHT},
    {0x28, KEY_DOWN},
    {0x29, KEY_SELECT},
    {0x2A, KEY_PRINT},
    {0x2C, KEY_SYSRQ},
    {0x2D, KEY_INSERT},
    {0x2E, KEY_DELETE},
    {0x2F, KEY_HELP},
    {0x5B, KEY_LEFTMETA},
    {0x5C, KEY_RIGHTMETA},
    {0x5D, KEY_COMPOSE},
    {0x5F, KEY_SLEEP},
    {0xA0, KEY_LEFTSHIFT},
    {0xA1, KEY_RIGHTSHIFT},
    {0xA2, KEY_LEFTCTRL},
    {0xA3, KEY_RIGHTCTRL},
    {0xA4, KEY_LEFTALT},
    {0xA5, KEY_RIGHTALT},
    {0xA6, KEY_BACK},
    {0xA7, KEY_FORWARD},
    {0xA8, KEY_REFRESH},
    {0xA9, KEY_STOP},
    {0xAA, KEY_SEARCH},
    {0xAB, KEY_BOOKMARKS},
    {0xAC, KEY_HOMEPAGE},
    {0xAD, KEY_MUTE},
    {0xAE, KEY_VOLUMEDOWN},
    {0xAF, KEY_VOLUMEUP},
    {0xB0, KEY_NEXTSONG},
    {0xB1, KEY_PREVIOUSSONG},
    {0xB2, KEY_STOPCD},
    {0xB3, KEY_PLAYPAUSE},
    {0xB4, KEY_MAIL},
    {0xB5, KEY_MEDIA},
    {0xB6, KEY_COMPUTER},
    {0xB7, KEY_CALC},
    {0xBA, KEY_SEMICOLON},
    {0xBB, KEY_EQUAL},
    {0xBC, KEY_COMMA},
    {0xBD, KEY_MINUS},
    {0xBE, KEY_DOT},
    {0xBF, KEY_SLASH},
    {0xC0, KEY_GRAVE},
    {0xDB, KEY_LEFTBRACE},
    {0xDC, KEY_BACKSLASH},
    {0xDD, KEY_RIGHTBRACE},
    {0xDE, KEY_APOSTROPHE},
    {0xE2, KEY_102ND},
});

// The evdev key (KEY_*) of the key `code` names, or 0 when there is none.
std::uint16_t EvdevKeyOf(std::uint8_t code) {
  for (const auto& entry : kEvdevKeys) {
    if (entry.code == code) return entry.key;
  }
  return 0;
}

// Writes one input event; false when the kernel did not take all of it.
bool WriteEvent(int fd, std::uint16_t type, std::uint16_t code, std::int32_t value) {
  input_event event{};
  event.type = type;
  event.code = code;
  event.value = value;
  ssize_t written = 0;
  do {
    written = ::write(fd, &event, sizeof event);
  } while (written < 0 && errno == EINTR);
  return written == static_cast<ssize_t>(sizeof event);
}

// Describes the keyboard to the kernel and has it made.
bool CreateDevice(int fd) {
  if (::ioctl(fd, UI_SET_EVBIT, EV_SYN) != 0 || ::ioctl(fd, UI_SET_EVBIT, EV_KEY) != 0) {
    return false;
  }
  for (const auto& entry : kEvdevKeys) {
    if (::ioctl(fd, UI_SET_KEYBIT, static_cast<int>(entry.key)) != 0) return false;
  }
  uinput_setup setup{};
  setup.id.bustype = BUS_VIRTUAL;
  constexpr const char kName[] = "Pelorin virtual keyboard";
  static_assert(sizeof kName <= sizeof setup.name);
  std::memcpy(setup.name, kName, sizeof kName);
  return ::ioctl(fd, UI_DEV_SETUP, &setup) == 0 && ::ioctl(fd, UI_DEV_CREATE) == 0;
}

}  // namespace

Opened<UinputKeyboard> UinputKeyboard::Open(const char* path) {
  posix::UniqueFd fd(::open(path, O_RDWR | O_CLOEXEC));
  if (!fd.Valid()) return posix::LastError("open", path);
  if (!CreateDevice(fd.Get())) return posix::LastError("create uinput device", path);
  return std::unique_ptr<UinputKeyboard>(new UinputKeyboard(std::move(fd)));
}

UinputKeyboard::UinputKeyboard(posix::UniqueFd fd) : fd_(std::move(fd)) {}

UinputKeyboard::~UinputKeyboard() {
  // Closing the descriptor would remove the device as well; this says so.
  (void)::ioctl(fd_.Get(), UI_DEV_DESTROY);
}

void UinputKeyboard::KeyEvent(std::uint8_t code, bool up) {
  const std::uint16_t key = EvdevKeyOf(code);
  if (key == 0) return;
  // A failed write loses this one event, as a key pressed while the system
  // is busy would; the cause goes to the trace.
  if (!WriteEvent(fd_.Get(), EV_KEY, key, up ? 0 : 1) ||
      !WriteEvent(fd_.Get(), EV_SYN, SYN_REPORT, 0)) {
    Trace("uinput key event " + std::to_string(code) + " was not delivered");
  }
}

}  // namespace pelorin::linux_os
