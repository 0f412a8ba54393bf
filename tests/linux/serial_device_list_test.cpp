// The serial device listing in a device folder of the test's own whose
// nodes link to real devices: a pseudo-terminal (a terminal without a UART)
// and /dev/null (no terminal); then on the machine's own /dev.
#include "platform/posix/serial_device_list.h"

#include <fcntl.h>
#include <stdlib.h>

#include <gtest/gtest.h>

#include <filesystem>

#include "platform/posix/unique_fd.h"
#include "support/temp_folder.h"

namespace pelorin::posix {
namespace {

namespace fs = std::filesystem;

TEST(SerialDeviceListTest, StableNamesFirstThenAdaptersThenBuiltInPortsWithAUart) {
  testing::TempFolder dev;
  const UniqueFd terminal(::posix_openpt(O_RDWR | O_NOCTTY));
  ASSERT_TRUE(terminal.Valid() && ::unlockpt(terminal.Get()) == 0);
  fs::create_symlink(::ptsname(terminal.Get()), dev.File("ttyS1"));
  fs::create_symlink("/dev/null", dev.File("ttyS2"));
  for (const char* node : {"ttyUSB10", "ttyUSB2", "ttyACM0", "ttyUSB", "ttyS1a", "tty5"}) {
    dev.Write(node, "");
  }
  const std::vector<SerialDeviceName> kernel_names{
      {dev.File("ttyUSB2"), ""}, {dev.File("ttyUSB10"), ""}, {dev.File("ttyACM0"), ""}};
  EXPECT_EQ(ListSerialDevices(dev.path()), kernel_names) << "without serial/by-id/";

  fs::create_directories(dev.File("serial/by-id"));
  fs::create_symlink("../../ttyUSB10", dev.File("serial/by-id/usb-FTDI_B-if00-port0"));
  fs::create_symlink(dev.File("ttyACM0"), dev.File("serial/by-id/usb-Arduino-if00"));
  fs::create_symlink("../../ttyUSB7", dev.File("serial/by-id/usb-Gone-if00-port0"));
  EXPECT_EQ(
      ListSerialDevices(dev.path()),
      (std::vector<SerialDeviceName>{{dev.File("serial/by-id/usb-Arduino-if00"), "ttyACM0"},
                                     {dev.File("serial/by-id/usb-FTDI_B-if00-port0"), "ttyUSB10"},
                                     {dev.File("ttyUSB2"), ""}}));

  EXPECT_TRUE(ListSerialDevices(dev.File("missing")).empty());
  for (const SerialDeviceName& device : ListSerialDevices()) {
    EXPECT_TRUE(device.path.starts_with("/dev/")) << device.path;
  }
}

}  // namespace
}  // namespace pelorin::posix
