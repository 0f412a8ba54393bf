#pragma once
#include <windows.h>

namespace pelorin::win32 {

// Command identifiers of the views' controls: a base per window or tab plus
// the control's position in its enumeration, so a WM_COMMAND tells the
// window and the control at once. OK and Cancel of the properties window keep
// the dialog identifiers IDOK and IDCANCEL, which Enter and Escape produce.
inline constexpr int kFrameIdBase = 1000;
inline constexpr int kComPortsIdBase = 1100;
inline constexpr int kWinampIdBase = 1200;
inline constexpr int kOptionsIdBase = 1300;
inline constexpr int kHelpAboutIdBase = 1400;
inline constexpr int kIdsPerForm = 100;

// Controls that no presenter names: the two wiring pictures and the icon.
inline constexpr int kPictureFourId = kHelpAboutIdBase + 50;
inline constexpr int kPictureFifteenId = kHelpAboutIdBase + 51;
inline constexpr int kAboutIconId = kHelpAboutIdBase + 52;
inline constexpr int kApplyId = kFrameIdBase + 3;
inline constexpr int kStaticId = -1;

// The line remap dialogs: radio item k of line L (DCD, DSR, CTS, RI = 0..3)
// is kRemapRadioIdBase + 10 L + k; OK and Cancel are IDOK and IDCANCEL.
inline constexpr int kRemapRadioIdBase = 2000;
inline constexpr int kRemapAssignId = 2103;      // "Assign automatically"
inline constexpr int kRemapAutoCancelId = 2106;  // "Cancel" of the Auto page

template <typename Control>
constexpr int IdOf(int base, Control control) {
  return base + static_cast<int>(control);
}

}  // namespace pelorin::win32
