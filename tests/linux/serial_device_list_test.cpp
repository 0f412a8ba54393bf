// The serial device listing in a device folder and a tty class folder of
// the test's own; then on the machine's own /dev and /sys.
#include "platform/posix/serial_device_list.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "support/temp_folder.h"

namespace pelorin::posix {
namespace {

namespace fs = std::filesystem;

TEST(SerialDeviceListTest, StableNamesFirstThenAdaptersThenBuiltInPortsWithAUart) {
  testing::TempFolder dev;
  testing::TempFolder sys;
  for (const char* node : {"ttyUSB10", "ttyUSB2", "ttyACM0", "ttyUSB", "ttyS1a", "tty5", "ttyS0",
                           "ttyS1", "ttyS2", "ttyS3"}) {
    dev.Write(node, "");
  }
  // ttyS0 has a 16550A, ttyS1 no hardware, ttyS2 an unreadable type, ttyS3
  // no entry at all.
  for (const auto& [port, type] : {std::pair{"ttyS0", "4\n"}, {"ttyS1", "0\n"}, {"ttyS2", "x"}}) {
    fs::create_directories(sys.File(port));
    sys.Write(std::string(port) + "/type", type);
  }
  const std::vector<SerialDeviceName> kernel_names{{dev.File("ttyUSB2"), ""},
                                                   {dev.File("ttyUSB10"), ""},
                                                   {dev.File("ttyACM0"), ""},
                                                   {dev.File("ttyS0"), ""}};
  EXPECT_EQ(ListSerialDevices(dev.path(), sys.path()), kernel_names) << "without serial/by-id/";

  fs::create_directories(dev.File("serial/by-id"));
  fs::create_symlink("../../ttyUSB10", dev.File("serial/by-id/usb-FTDI_B-if00-port0"));
  fs::create_symlink(dev.File("ttyACM0"), dev.File("serial/by-id/usb-Arduino-if00"));
  fs::create_symlink("../../ttyUSB7", dev.File("serial/by-id/usb-Gone-if00-port0"));
  EXPECT_EQ(
      ListSerialDevices(dev.path(), sys.path()),
      (std::vector<SerialDeviceName>{{dev.File("serial/by-id/usb-Arduino-if00"), "ttyACM0"},
                                     {dev.File("serial/by-id/usb-FTDI_B-if00-port0"), "ttyUSB10"},
                                     {dev.File("ttyUSB2"), ""},
                                     {dev.File("ttyS0"), ""}}));

  EXPECT_TRUE(ListSerialDevices(dev.File("missing")).empty());
  for (const SerialDeviceName& device : ListSerialDevices()) {
    EXPECT_TRUE(device.path.starts_with("/dev/")) << device.path;
  }
}

}  // namespace
}  // namespace pelorin::posix
