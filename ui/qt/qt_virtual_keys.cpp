#include "ui/qt/qt_virtual_keys.h"

#include <array>
#include <string_view>
#include <utility>

#include <QKeyEvent>

namespace pelorin::qt {
namespace {

using KeyPair = std::pair<int, int>;  // the toolkit's key, the virtual-key code

// Keys of the keypad, told apart by the keypad modifier. With Num Lock off
// the keypad reports Home, Up, ... and those are the same keys as the main
// block's on Windows as well, so only digits and signs are listed.
constexpr std::array<KeyPair, 16> kKeypadKeys{{
    {Qt::Key_0, 0x60},
    {Qt::Key_1, 0x61},
    {Qt::Key_2, 0x62},
    {Qt::Key_3, 0x63},
    {Qt::Key_4, 0x64},
    {Qt::Key_5, 0x65},
    {Qt::Key_6, 0x66},
    {Qt::Key_7, 0x67},
    {Qt::Key_8, 0x68},
    {Qt::Key_9, 0x69},
    {Qt::Key_Asterisk, 0x6A},
    {Qt::Key_Plus, 0x6B},
    {Qt::Key_Minus, 0x6D},
    {Qt::Key_Period, 0x6E},
    {Qt::Key_Comma, 0x6E},
    {Qt::Key_Slash, 0x6F},
}};

// Every other key with a virtual-key code, apart from the signs.
constexpr std::array<KeyPair, 57> kNamedKeys{{
    // Editing, moving and locks.
    {Qt::Key_Backspace, 0x08},
    {Qt::Key_Tab, 0x09},
    {Qt::Key_Backtab, 0x09},
    {Qt::Key_Clear, 0x0C},
    {Qt::Key_Return, 0x0D},
    {Qt::Key_Enter, 0x0D},
    {Qt::Key_Shift, 0x10},
    {Qt::Key_Control, 0x11},
    {Qt::Key_Alt, 0x12},
    {Qt::Key_AltGr, 0x12},
    {Qt::Key_Pause, 0x13},
    {Qt::Key_CapsLock, 0x14},
    {Qt::Key_Escape, 0x1B},
    {Qt::Key_Space, 0x20},
    {Qt::Key_PageUp, 0x21},
    {Qt::Key_PageDown, 0x22},
    {Qt::Key_End, 0x23},
    {Qt::Key_Home, 0x24},
    {Qt::Key_Left, 0x25},
    {Qt::Key_Up, 0x26},
    {Qt::Key_Right, 0x27},
    {Qt::Key_Down, 0x28},
    {Qt::Key_Select, 0x29},
    {Qt::Key_Execute, 0x2B},
    {Qt::Key_Print, 0x2C},
    {Qt::Key_SysReq, 0x2C},
    {Qt::Key_Insert, 0x2D},
    {Qt::Key_Delete, 0x2E},
    {Qt::Key_Help, 0x2F},
    {Qt::Key_Meta, 0x5B},
    {Qt::Key_Super_L, 0x5B},
    {Qt::Key_Super_R, 0x5C},
    {Qt::Key_Menu, 0x5D},
    {Qt::Key_Sleep, 0x5F},
    {Qt::Key_NumLock, 0x90},
    {Qt::Key_ScrollLock, 0x91},
    // Browser, media and launch keys.
    {Qt::Key_Back, 0xA6},
    {Qt::Key_Forward, 0xA7},
    {Qt::Key_Refresh, 0xA8},
    {Qt::Key_Stop, 0xA9},
    {Qt::Key_Search, 0xAA},
    {Qt::Key_Favorites, 0xAB},
    {Qt::Key_HomePage, 0xAC},
    {Qt::Key_VolumeMute, 0xAD},
    {Qt::Key_VolumeDown, 0xAE},
    {Qt::Key_VolumeUp, 0xAF},
    {Qt::Key_MediaNext, 0xB0},
    {Qt::Key_MediaPrevious, 0xB1},
    {Qt::Key_MediaStop, 0xB2},
    {Qt::Key_MediaPlay, 0xB3},
    {Qt::Key_MediaPause, 0xB3},
    {Qt::Key_MediaTogglePlayPause, 0xB3},
    {Qt::Key_LaunchMail, 0xB4},
    {Qt::Key_LaunchMedia, 0xB5},
    {Qt::Key_Launch0, 0xB6},
    {Qt::Key_Explorer, 0xB6},
    {Qt::Key_Launch1, 0xB7},
}};

// The signs of the main block, for a key that comes without its X key code:
// unshifted, and shifted as the key they lie on in the US layout.
constexpr std::array<KeyPair, 32> kSignKeys{{
    {Qt::Key_Semicolon, 0xBA},  {Qt::Key_Equal, 0xBB},
    {Qt::Key_Comma, 0xBC},      {Qt::Key_Minus, 0xBD},
    {Qt::Key_Period, 0xBE},     {Qt::Key_Slash, 0xBF},
    {Qt::Key_QuoteLeft, 0xC0},  {Qt::Key_BracketLeft, 0xDB},
    {Qt::Key_Backslash, 0xDC},  {Qt::Key_BracketRight, 0xDD},
    {Qt::Key_Apostrophe, 0xDE}, {Qt::Key_Exclam, '1'},
    {Qt::Key_At, '2'},          {Qt::Key_NumberSign, '3'},
    {Qt::Key_Dollar, '4'},      {Qt::Key_Percent, '5'},
    {Qt::Key_AsciiCircum, '6'}, {Qt::Key_Ampersand, '7'},
    {Qt::Key_Asterisk, '8'},    {Qt::Key_ParenLeft, '9'},
    {Qt::Key_ParenRight, '0'},  {Qt::Key_Colon, 0xBA},
    {Qt::Key_Plus, 0xBB},       {Qt::Key_Less, 0xBC},
    {Qt::Key_Underscore, 0xBD}, {Qt::Key_Greater, 0xBE},
    {Qt::Key_Question, 0xBF},   {Qt::Key_AsciiTilde, 0xC0},
    {Qt::Key_BraceLeft, 0xDB},  {Qt::Key_Bar, 0xDC},
    {Qt::Key_BraceRight, 0xDD}, {Qt::Key_QuoteDbl, 0xDE},
}};

// The X key codes of the main block's rows, left to right, in the US layout:
// a layout without Latin letters reports its own characters for these keys.
struct KeyRow {
  std::uint32_t first_code;
  std::string_view keys;  // the virtual-key codes, one byte each
};
constexpr std::array<KeyRow, 4> kKeyRows{{
    {10, "1234567890\xBD\xBB"},
    {24, "QWERTYUIOP\xDB\xDD"},
    {38, "ASDFGHJKL\xBA\xDE\xC0"},
    {52, "ZXCVBNM\xBC\xBE\xBF"},
}};
constexpr std::uint32_t kBackslashCode = 51;
// The key between the left Shift and Z on 102-key keyboards.
constexpr std::uint32_t kExtraKeyCode = 94;

template <std::size_t N>
int Find(const std::array<KeyPair, N>& table, int qt_key) {
  for (const auto& [key, code] : table) {
    if (key == qt_key) return code;
  }
  return 0;
}

int FromScanCode(std::uint32_t scan_code) {
  if (scan_code == kBackslashCode) return 0xDC;
  for (const KeyRow& row : kKeyRows) {
    if (scan_code >= row.first_code && scan_code < row.first_code + row.keys.size()) {
      return static_cast<unsigned char>(row.keys[scan_code - row.first_code]);
    }
  }
  return 0;
}

}  // namespace

int VirtualKeyOf(int qt_key, Qt::KeyboardModifiers modifiers, std::uint32_t scan_code) {
  if (scan_code == kExtraKeyCode) return 0xE2;
  if (modifiers.testFlag(Qt::KeypadModifier)) {
    if (const int code = Find(kKeypadKeys, qt_key)) return code;
  }
  if ((qt_key >= Qt::Key_A && qt_key <= Qt::Key_Z) ||
      (qt_key >= Qt::Key_0 && qt_key <= Qt::Key_9)) {
    return qt_key;  // the same numbers as the codes
  }
  if (qt_key >= Qt::Key_F1 && qt_key <= Qt::Key_F24) return 0x70 + (qt_key - Qt::Key_F1);
  if (const int code = Find(kNamedKeys, qt_key)) return code;
  // A sign or a letter of another alphabet is the key it lies on: Windows
  // names Shift+7 of a German keyboard "7", although it types "/".
  if (const int code = FromScanCode(scan_code)) return code;
  return Find(kSignKeys, qt_key);
}

int VirtualKeyOf(const QKeyEvent& event) {
  return VirtualKeyOf(event.key(), event.modifiers(), event.nativeScanCode());
}

}  // namespace pelorin::qt
