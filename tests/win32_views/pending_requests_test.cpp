// Requests made before a control exists must leave the control, once built,
// as the same requests made on the built control do: where two kinds touch
// one state, the order of the last ones decides.
#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "ui/win32/control_table.h"

namespace pelorin::testing {
namespace {

enum class ListControl { Combo };
using ListTable = win32::TableView<ListControl, 1>;
constexpr ListControl kCombo = ListControl::Combo;

void BuildCombo(ListTable& table, HWND parent) {
  win32::ControlEntry& entry = table.Entry(kCombo);
  entry.kind = win32::ControlKind::Combo;
  entry.hwnd = CreateWindowExA(0, "COMBOBOX", "", WS_CHILD | CBS_DROPDOWNLIST, 0, 0, 100, 100,
                               parent, nullptr, nullptr, nullptr);
}

// Selection, entry count and enabled state.
std::vector<LRESULT> StateOf(const ListTable& table) {
  HWND combo = table.Entry(kCombo).hwnd;
  return {SendMessageA(combo, CB_GETCURSEL, 0, 0), SendMessageA(combo, CB_GETCOUNT, 0, 0),
          IsWindowEnabled(combo)};
}

TEST(PendingRequestsTest, RequestsKeptForALaterControlEndWhereDirectOnesEnd) {
  const std::vector<std::string> two{"a", "b"}, three{"a", "b", "c"};
  const std::function<void(ListTable&)> cases[] = {
      [&](ListTable& t) {  // new items clear an earlier selection
        t.SetItems(kCombo, two);
        t.SetSelection(kCombo, 1);
        t.SetItems(kCombo, three);
      },
      [&](ListTable& t) {  // the button face after enabling greys the list
        t.SetEnabled(kCombo, true);
        t.SetColour(kCombo, Colour::ButtonFace);
      },
      [&](ListTable& t) {  // the last of many requests of each kind counts
        for (int i = 0; i < 50; ++i) {
          t.SetItems(kCombo, i % 2 ? two : three);
          t.SetSelection(kCombo, i % 3);
          t.SetColour(kCombo, i % 2 ? Colour::ButtonFace : Colour::Window);
          t.SetEnabled(kCombo, i % 3 == 0);
        }
      },
  };
  HWND parent = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 200, 200, nullptr, nullptr,
                                nullptr, nullptr);
  for (const auto& requests : cases) {
    win32::ControlStyle direct_style, kept_style;
    ListTable direct(direct_style), kept(kept_style);
    BuildCombo(direct, parent);
    requests(direct);
    requests(kept);
    BuildCombo(kept, parent);
    kept_style.Pending().DoForBuiltControls();
    EXPECT_TRUE(kept_style.Pending().Empty());
    EXPECT_EQ(StateOf(kept), StateOf(direct));
  }
  DestroyWindow(parent);
}

}  // namespace
}  // namespace pelorin::testing
