#include "ui/qt/qt_virtual_keys.h"

#include <gtest/gtest.h>

#include "actions/keys_and_start.h"

namespace pelorin::qt {
namespace {

struct KeyCase {
  int qt_key;
  Qt::KeyboardModifiers modifiers;
  std::uint32_t scan_code;
  int expected;
  const char* name;  // the name the key field shows for the code
};

constexpr Qt::KeyboardModifiers kNone = Qt::NoModifier;
constexpr Qt::KeyboardModifiers kPad = Qt::KeypadModifier;

// What a user presses in the key field, as the X server reports it, and the
// Windows code (and name) the mapping must store for it.
const KeyCase kCases[] = {
    {Qt::Key_A, kNone, 38, 'A', "A"},
    {Qt::Key_Z, Qt::ShiftModifier, 52, 'Z', "Z"},
    {Qt::Key_A, kNone, 24, 'A', "A"},  // AZERTY: A lies where Q does
    {0x0444, kNone, 38, 'A', "A"},     // a Cyrillic letter: the key's place
    {Qt::Key_7, kNone, 16, '7', "7"},
    {Qt::Key_Exclam, Qt::ShiftModifier, 10, '1', "1"},  // Shift+1 is the "1" key
    {Qt::Key_Slash, Qt::ShiftModifier, 16, '7', "7"},   // German Shift+7
    {Qt::Key_Exclam, kNone, 0, '1', "1"},               // no key code: the US key
    {Qt::Key_Less, kNone, 94, 0xE2, "Left \\"},         // the 102nd key
    {Qt::Key_F1, kNone, 67, 0x70, "F1"},
    {Qt::Key_F12, kNone, 96, 0x7B, "F12"},
    {Qt::Key_F24, kNone, 0, 0x87, "#135"},
    {Qt::Key_Left, kNone, 113, 0x25, "Left"},
    {Qt::Key_Down, kNone, 116, 0x28, "Down"},
    {Qt::Key_Home, kPad, 79, 0x24, "Home"},  // keypad without Num Lock
    {Qt::Key_0, kPad, 90, 0x60, "Num 0"},
    {Qt::Key_9, kPad, 81, 0x69, "Num 9"},
    {Qt::Key_Asterisk, kPad, 63, 0x6A, "Num *"},
    {Qt::Key_Plus, kPad, 86, 0x6B, "Num +"},
    {Qt::Key_Comma, kPad, 91, 0x6E, "Num ."},
    {Qt::Key_Enter, kPad, 104, 0x0D, "Enter"},
    {Qt::Key_Escape, kNone, 9, 0x1B, "Escape"},
    {Qt::Key_Return, kNone, 36, 0x0D, "Enter"},
    {Qt::Key_Tab, kNone, 23, 0x09, "#9"},
    {Qt::Key_Backtab, Qt::ShiftModifier, 23, 0x09, "#9"},
    {Qt::Key_Shift, Qt::ShiftModifier, 50, 0x10, "Shift"},
    {Qt::Key_Control, Qt::ControlModifier, 37, 0x11, "Ctrl"},
    {Qt::Key_Alt, Qt::AltModifier, 64, 0x12, "Alt"},
    {Qt::Key_Super_L, kNone, 133, 0x5B, "Left Win"},
    {Qt::Key_MediaTogglePlayPause, kNone, 172, 0xB3, "#179"},
    {Qt::Key_MediaNext, kNone, 171, 0xB0, "#176"},
    {Qt::Key_VolumeUp, kNone, 123, 0xAF, "#175"},
    {Qt::Key_Semicolon, kNone, 47, 0xBA, ";"},
    {Qt::Key_unknown, kNone, 0, 0, "#0"},
};

TEST(QtVirtualKeys, KeysBecomeTheWindowsCodesTheFieldNames) {
  for (const KeyCase& c : kCases) {
    const int code = VirtualKeyOf(c.qt_key, c.modifiers, c.scan_code);
    EXPECT_EQ(code, c.expected) << "Qt key 0x" << std::hex << c.qt_key;
    EXPECT_EQ(KeyName(code), c.name) << "Qt key 0x" << std::hex << c.qt_key;
  }
}

}  // namespace
}  // namespace pelorin::qt
