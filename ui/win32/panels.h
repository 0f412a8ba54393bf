#pragma once
#include <windows.h>

#include "ui/win32/control_table.h"

namespace pelorin::win32 {

// What the controls inside a view's panels report to their parents
// (WM_COMMAND, WM_NOTIFY, WM_HSCROLL, WM_CTLCOLOR..., WM_DRAWITEM ...). A view
// gets them all in one place, whichever panel the control sits in.
class PanelSink {
 public:
  virtual ~PanelSink() = default;
  // Returns true when handled, with the dialog procedure's answer in `result`.
  virtual bool OnPanelMessage(HWND panel, UINT message, WPARAM wparam, LPARAM lparam,
                              INT_PTR& result) = 0;
};

// The window's dots per inch: positions given at 96 dpi are scaled by it, and
// the dialog font already is.
int ScreenDpi();

// Creates the controls of a view at positions given in pixels at 96 dpi,
// scaled to the screen's DPI, each in the window's font.
class ControlBuilder {
 public:
  ControlBuilder(ControlStyle& style, PanelSink& sink, int dpi)
      : style_(style), sink_(sink), dpi_(dpi) {}

  int Scale(int pixels) const { return MulDiv(pixels, dpi_, 96); }

  // A borderless child dialog that holds controls and passes their reports
  // to the sink; tab pages, groups and notebook pages are panels. Every panel
  // and every label on it has the same background (the button face, as a
  // classic property page), so no label ever sits on a patch of another
  // colour, themed or not.
  HWND Panel(HWND parent, int x, int y, int w, int h);
  // Any control; `id` is its command identifier.
  HWND Control(HWND parent, const char* window_class, DWORD style, DWORD ex_style, int id, int x,
               int y, int w, int h, const char* text = "");

  HWND Label(HWND parent, int id, int x, int y, int w, int h = 15, DWORD align = SS_LEFT);
  HWND Button(HWND parent, int id, int x, int y, int w, int h, DWORD extra = 0);
  HWND CheckBox(HWND parent, int id, int x, int y, int w, int h = 17);
  // A two-state push button that only shows a state: the user cannot press it.
  HWND Indicator(HWND parent, int id, int x, int y, int w, int h);
  // A drop-down list; `rows` is the number of entries shown when dropped.
  HWND Combo(HWND parent, int id, int x, int y, int w, int rows = 12);
  HWND Edit(HWND parent, int id, int x, int y, int w, int h, DWORD extra = 0);
  HWND TrackBar(HWND parent, int id, int x, int y, int w, int h, DWORD extra = 0);
  HWND GroupFrame(HWND parent, int x, int y, int w, int h);
  // An invisible window over an area that takes the mouse clicks meant for
  // the controls beneath it, so that clicking them does nothing.
  HWND ClickShield(HWND parent, int x, int y, int w, int h);
  // A picture area that paints a bitmap, scrolling sideways when the bitmap
  // is wider than the area (see SetPictureBitmap).
  HWND PictureBox(HWND parent, int id, int x, int y, int w, int h, bool scroll_sideways);

  // Fills `entry` for a group: a panel at x, y with its frame and caption;
  // `id` identifies the panel.
  HWND Group(HWND parent, ControlEntry& entry, int id, int x, int y, int w, int h);
  // A radio group: a frame with `items` radio buttons in one row, the first
  // with identifier `first_id`.
  void RadioGroup(HWND parent, ControlEntry& entry, int first_id, int items, int x, int y, int w,
                  int h);

 private:
  ControlStyle& style_;
  PanelSink& sink_;
  int dpi_;
};

// The bitmap a picture box shows (not owned; null shows a blank area).
void SetPictureBitmap(HWND picture_box, HBITMAP bitmap);

}  // namespace pelorin::win32
