// The system's device announcements as the hidden properties window gets
// them: only a port's arrival reaches the program.
#include <windows.h>

#include <dbt.h>

#include <gtest/gtest.h>

#include "win32_views/view_rig.h"

namespace pelorin::testing {
namespace {

TEST(DeviceChangeTest, OnlyAPortArrivalIsPassedOn) {
  ViewRig rig;
  HWND window = rig.window.Handle();
  // Announcements go to every top-level window; a child window would miss them.
  EXPECT_FALSE(GetWindowLongPtrW(window, GWL_STYLE) & WS_CHILD);

  DEV_BROADCAST_PORT_W port{};
  port.dbcp_size = sizeof(port);
  port.dbcp_devicetype = DBT_DEVTYP_PORT;
  DEV_BROADCAST_HDR volume{};
  volume.dbch_size = sizeof(volume);
  volume.dbch_devicetype = DBT_DEVTYP_VOLUME;
  const struct {
    WPARAM event;
    const void* record;
    int arrivals;
  } cases[] = {{DBT_DEVICEARRIVAL, &port, 1},
               {DBT_DEVICEARRIVAL, &volume, 0},
               {DBT_DEVICEREMOVECOMPLETE, &port, 0},
               {DBT_DEVICEARRIVAL, nullptr, 0},
               {DBT_DEVNODES_CHANGED, nullptr, 0}};
  for (const auto& c : cases) {
    rig.port_arrivals = 0;
    EXPECT_EQ(SendMessageW(window, WM_DEVICECHANGE, c.event, reinterpret_cast<LPARAM>(c.record)),
              TRUE);
    EXPECT_EQ(rig.port_arrivals, c.arrivals) << "event " << c.event;
  }
}

}  // namespace
}  // namespace pelorin::testing
