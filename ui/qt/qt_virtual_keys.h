#pragma once
#include <cstdint>

#include <Qt>

class QKeyEvent;

namespace pelorin::qt {

// The Windows virtual-key code (the numbers the mapping editor stores and
// names) of a key the toolkit reports, or 0 for a key that has none.
//
// `qt_key` is the toolkit's key (Qt::Key); the keypad modifier tells the
// keypad's digits and signs from the main keys'. Letters keep their letter,
// whatever key of the layout carries it, as on Windows. Any other key of the
// main block (signs, letters of other alphabets) is named by where it lies:
// `scan_code` is the X key code (the kernel's key number plus 8), read as the
// US layout's key there, so Shift+1 is "1" and not "!". Without a key code
// (0) a sign is the US layout's key that types it.
int VirtualKeyOf(int qt_key, Qt::KeyboardModifiers modifiers, std::uint32_t scan_code);
int VirtualKeyOf(const QKeyEvent& event);

}  // namespace pelorin::qt
