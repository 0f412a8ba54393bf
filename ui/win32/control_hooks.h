#pragma once
#include <windows.h>

#include <commctrl.h>

#include "config/port_role.h"
#include "ui/help_about_tab.h"
#include "ui/win32/scoped_win.h"

namespace pelorin::win32 {

class PropertiesView;

// Behaviour that the standard controls lack, added by subclassing:
// - the key field takes every key but Tab (Escape and Enter included) and
//   hands it to the view instead of showing typed text;
// - the arrow buttons act on mouse-down, not on release;
// - a link label reports the mouse over it and shows the hand cursor.
void HookKeyField(HWND edit, PropertiesView& view, PortRole port);
void HookArrowButton(HWND button, PropertiesView& view, PortRole port, bool next);
void HookLink(HWND label, PropertiesView& view, HelpAboutControl link);

// Pictures drawn by the program itself.
// An arrow button of the mapping editor: a push button with a triangle.
void DrawArrowButton(const DRAWITEMSTRUCT& item, bool up);
// The double-click test picture `index` (0: a dark lamp, 1: a lit one).
void DrawTestPicture(HDC dc, const RECT& area, int index);
// The five 16 x 16 tab images (COM ports, Winamp, Options, Help, About) and
// the program icon as the sixth, at `size` pixels.
UniqueImageList MakeTabImages(int size);

}  // namespace pelorin::win32
