// Requests a presenter makes before a control exists must leave the control,
// once built, exactly as the same requests made on the built control do:
// where two kinds touch one state, the order of the last ones decides.
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

struct Steps {
  const char* name;
  std::function<void(ListTable&)> requests;
};

struct ComboState {
  LRESULT selection, count;
  BOOL enabled;
};

class Combo {
 public:
  Combo()
      : parent_(CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 200, 200, nullptr, nullptr,
                                nullptr, nullptr)) {}
  ~Combo() { DestroyWindow(parent_); }
  Combo(const Combo&) = delete;
  Combo& operator=(const Combo&) = delete;
  void BuildInto(ListTable& table) {
    win32::ControlEntry& entry = table.Entry(ListControl::Combo);
    entry.kind = win32::ControlKind::Combo;
    entry.hwnd = CreateWindowExA(0, "COMBOBOX", "", WS_CHILD | CBS_DROPDOWNLIST, 0, 0, 100, 100,
                                 parent_, nullptr, nullptr, nullptr);
  }
  ComboState State(const ListTable& table) const {
    HWND combo = table.Entry(ListControl::Combo).hwnd;
    return {SendMessageA(combo, CB_GETCURSEL, 0, 0), SendMessageA(combo, CB_GETCOUNT, 0, 0),
            IsWindowEnabled(combo)};
  }

 private:
  HWND parent_;
};

TEST(PendingRequestsTest, RequestsKeptForALaterControlEndWhereDirectOnesEnd) {
  constexpr ListControl c = ListControl::Combo;
  const std::vector<std::string> two{"a", "b"}, three{"a", "b", "c"};
  const Steps cases[] = {
      {"new items clear an earlier selection",
       [&](ListTable& t) {
         t.SetItems(c, two);
         t.SetSelection(c, 1);
         t.SetItems(c, three);
       }},
      {"a selection after new items stays",
       [&](ListTable& t) {
         t.SetSelection(c, 0);
         t.SetItems(c, three);
         t.SetSelection(c, 2);
       }},
      {"the button face after enabling greys the list",
       [&](ListTable& t) {
         t.SetEnabled(c, true);
         t.SetColour(c, Colour::ButtonFace);
       }},
      {"disabling after the window colour greys the list",
       [&](ListTable& t) {
         t.SetColour(c, Colour::Window);
         t.SetEnabled(c, false);
         t.SetItems(c, two);
       }},
      {"repeated requests keep the last",
       [&](ListTable& t) {
         for (int i = 0; i < 50; ++i) {
           t.SetItems(c, i % 2 ? two : three);
           t.SetSelection(c, i % 3);
           t.SetEnabled(c, i % 2 == 0);
         }
       }},
  };
  for (const Steps& steps : cases) {
    SCOPED_TRACE(steps.name);
    win32::ControlStyle direct_style, kept_style;
    ListTable direct(direct_style), kept(kept_style);
    Combo direct_combo, kept_combo;
    direct_combo.BuildInto(direct);
    steps.requests(direct);
    steps.requests(kept);
    EXPECT_FALSE(kept_style.Pending().Empty());
    kept_combo.BuildInto(kept);
    kept_style.Pending().DoForBuiltControls();
    EXPECT_TRUE(kept_style.Pending().Empty());
    const ComboState want = direct_combo.State(direct), got = kept_combo.State(kept);
    EXPECT_EQ(got.selection, want.selection);
    EXPECT_EQ(got.count, want.count);
    EXPECT_EQ(got.enabled, want.enabled);
  }
}

}  // namespace
}  // namespace pelorin::testing
