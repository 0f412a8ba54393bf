#include "win32_views/view_rig.h"

#include <commctrl.h>

#include "actions/command_catalogue.h"
#include "ui/win32/window_text.h"

namespace pelorin::testing {

ViewRig::ViewRig()
    : remap1(PortRole::Primary, settings, remap_view1, host,
             [this](bool on) { view.EnableInput(on); }),
      remap2(PortRole::Secondary, settings, remap_view2, host,
             [this](bool on) { view.EnableInput(on); }),
      properties(settings, host, view.Frame(), view.ComPorts(), view.Winamp(), view.Options(), view,
                 remap1, remap2),
      help_about(view.HelpAbout(), view, *this, *this) {
  view.Bind(properties, help_about);
  remap_view1.Bind(remap1);
  remap_view2.Bind(remap2);
  HINSTANCE instance = GetModuleHandleA(nullptr);
  window.Create(instance, *this, &view);
  remap_view1.Create(instance, PortRole::Primary, view.Handle());
  remap_view2.Create(instance, PortRole::Secondary, view.Handle());
  properties.Initialise();
  properties.Editor().FillCommandLists({kCommandNames.begin(), kCommandNames.end()});
  help_about.Initialise();
  remap1.Initialise();
  remap2.Initialise();
  properties.ReadSettings();
  Pump();
}

ViewRig::~ViewRig() {
  Pump();
}

void ViewRig::ShowWindow() {
  window.Show();
  Pump();
}

void ViewRig::Pump() {
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    HWND root = msg.hwnd ? GetAncestor(msg.hwnd, GA_ROOT) : nullptr;
    if (!root || !IsDialogMessageA(root, &msg)) {
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    }
  }
}

void ViewRig::PressKey(int virtual_key) {
  HWND focus = GetFocus();
  const UINT scan = MapVirtualKeyA(static_cast<UINT>(virtual_key), MAPVK_VK_TO_VSC);
  PostMessageA(focus, WM_KEYDOWN, static_cast<WPARAM>(virtual_key), 1 | (scan << 16));
  PostMessageA(focus, WM_KEYUP, static_cast<WPARAM>(virtual_key),
               1 | (scan << 16) | (1u << 30) | (1u << 31));
  Pump();
}

void ViewRig::Choose(HWND combo, int index) {
  SendMessageA(combo, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
  SendMessageA(GetParent(combo), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(combo), CBN_SELCHANGE),
               reinterpret_cast<LPARAM>(combo));
  Pump();
}

void ViewRig::Click(HWND button) {
  SendMessageA(button, BM_CLICK, 0, 0);
  Pump();
}

void ViewRig::SelectTab(int index) {
  SendMessageA(Control(FrameControl::Tabs), TCM_SETCURFOCUS, static_cast<WPARAM>(index), 0);
  Pump();
}

std::string ViewRig::Text(HWND hwnd) {
  return win32::WindowText(hwnd);
}

}  // namespace pelorin::testing
