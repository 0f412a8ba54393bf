// Every text of the properties window wholly visible: the tab row without
// scroll arrows and each label of the COM ports tab as wide and as tall as
// its text, with the machine's own dialog font and with a wider one. A face
// wider than the layout's (Wine without its own fonts falls back to one)
// used to cut "COM port buttons:" to "COM port" and push the tabs behind
// arrows. Measured here, in the window's own process: a font handle from
// WM_GETFONT means nothing in another process.
#include <windows.h>

#include <commctrl.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "win32_views/view_rig.h"

namespace pelorin::testing {
namespace {

using C = ComPortsControl;
constexpr int kComPortsControls = static_cast<int>(C::UseSecondaryCheck) + 1;

// What of `text` in `font` does not fit the client area of `control`, or
// empty when all of it does (a static control draws from its client area).
std::string Overflow(HWND control, HFONT font) {
  const std::string text = ViewRig::Text(control);
  SIZE size{};
  {
    win32::WindowDc dc(control);
    win32::SelectedObject selected(dc.Get(), font);
    GetTextExtentPoint32A(dc.Get(), text.c_str(), static_cast<int>(text.size()), &size);
  }
  RECT client;
  GetClientRect(control, &client);
  if (size.cx <= client.right && size.cy <= client.bottom) return {};
  return "\"" + text + "\" needs " + std::to_string(size.cx) + "x" + std::to_string(size.cy) +
         ", has " + std::to_string(client.right) + "x" + std::to_string(client.bottom);
}

std::vector<HWND> ComPortsLabels(ViewRig& rig) {
  std::vector<HWND> labels;
  for (int i = 0; i < kComPortsControls; ++i) {
    const win32::ControlEntry& entry = rig.view.ComPorts().Entry(static_cast<C>(i));
    if (entry.kind == win32::ControlKind::Label && entry.hwnd) labels.push_back(entry.hwnd);
  }
  return labels;
}

HFONT FontOf(HWND control) {
  return reinterpret_cast<HFONT>(SendMessageA(control, WM_GETFONT, 0, 0));
}

class TextFitTest : public ::testing::Test {
 protected:
  void SetUp() override { rig_.ShowWindow(); }
  ViewRig rig_;
};

TEST_F(TextFitTest, EveryTabAndEveryComPortsLabelShowsItsWholeText) {
  HWND tabs = rig_.Control(FrameControl::Tabs);
  RECT client;
  GetClientRect(tabs, &client);
  const int count = static_cast<int>(SendMessageA(tabs, TCM_GETITEMCOUNT, 0, 0));
  ASSERT_EQ(count, 5);
  for (int i = 0; i < count; ++i) {
    RECT item{};
    SendMessageA(tabs, TCM_GETITEMRECT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item));
    EXPECT_LE(item.right, client.right) << "tab " << i;
  }
  HWND arrows = FindWindowExA(tabs, nullptr, UPDOWN_CLASSA, nullptr);
  EXPECT_FALSE(arrows && IsWindowVisible(arrows)) << "the tab row scrolls";

  const std::vector<HWND> labels = ComPortsLabels(rig_);
  ASSERT_EQ(labels.size(), 14u);
  for (HWND label : labels) EXPECT_EQ(Overflow(label, FontOf(label)), "");
}

TEST_F(TextFitTest, AWiderDialogFontIsMadeSmallUntilTheLabelsFitAgain) {
  // The machine's dialog font two pixels taller, so also wider: what a
  // machine that maps the dialog font to a broad face gives the window.
  LOGFONTA log{};
  GetObjectA(FontOf(rig_.view.Handle()), sizeof(log), &log);
  log.lfHeight += log.lfHeight < 0 ? -2 : 2;
  win32::UniqueGdi<HFONT> wide(CreateFontIndirectA(&log));
  win32::ControlStyle style;
  style.Create(rig_.view.Handle(), wide.get());
  ASSERT_NE(style.NormalFont(), wide.get());
  int cut_unaided = 0;
  for (HWND label : ComPortsLabels(rig_)) {
    if (!Overflow(label, wide.get()).empty()) ++cut_unaided;
    EXPECT_EQ(Overflow(label, style.NormalFont()), "");
  }
  EXPECT_GT(cut_unaided, 0) << "the wider font must cut a label when used as given";
}

}  // namespace
}  // namespace pelorin::testing
