#pragma once
#include <windows.h>

#include <string>
#include <vector>

namespace pelorin::e2e {

// Driving the program's controls from this process. Setters of the program's
// controls do not notify, so a user's choice is the setter plus the
// notification the control would have sent; everything here travels as
// window messages the system carries between processes.

// The control with command identifier `id` anywhere inside `root` (the
// properties window's pages and groups are nested panels); null if none.
HWND FindControl(HWND root, int id);
// Chooses entry `index` of a drop-down list as a user would.
void ChooseListEntry(HWND combo, int index);
int ListSelection(HWND combo);
int ListCount(HWND combo);
std::string ListEntryText(HWND combo, int index);
// Clicks a button, check box or radio button: the box's new state and the
// notification of the click (a BM_CLICK from another process needs the
// mouse capture, which a window in the background does not get).
void Click(HWND button);
// The same click, not waiting for the program (for clicks that open a
// message box).
void ClickWithoutWaiting(HWND button);
// The list receives the input focus (its notification, as on entering it).
void EnterList(HWND combo);
bool IsTicked(HWND button);
// A control's caption or text (read in the wide form across processes).
std::string TextOf(HWND hwnd);
// Replaces a text field's text as typing would (the field reports the change).
void TypeText(HWND edit, const std::string& text);
// Gives the keyboard focus to `control` inside its dialog `root`.
void Focus(HWND root, HWND control);
// A key pressed and released while `control` has the focus; goes through
// the program's message loop like a real key.
void PressKey(HWND control, int virtual_key);
// Waits until the program has handled everything sent before.
void Settle(HWND window);
// Where each tab of a tab control of another process sits, in the control's
// client coordinates (the answer travels through a buffer made in that
// process: the system does not carry this message's pointer between
// processes); empty when the process cannot be reached.
std::vector<RECT> TabItemRects(HWND tabs);
// Whether `parent` has a visible child window of class `window_class`.
bool ShowsChildOfClass(HWND parent, const char* window_class);

}  // namespace pelorin::e2e
