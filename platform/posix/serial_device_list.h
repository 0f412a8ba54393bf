#pragma once
#include <string>
#include <vector>

#include "platform/serial_device.h"

namespace pelorin::posix {

// The serial devices in the device folder `devices` (normally /dev) that a
// user can choose, in the order a list offers them:
//  1. the stable names udev makes in serial/by-id/, by name, each standing
//     for the device it links to (a name whose device is gone is left out);
//  2. the USB adapters (ttyUSB<n>, then ttyACM<n>, in number order) that no
//     stable name stands for, so that no adapter shows twice and the name
//     that survives replugging is the one a user picks and stores;
//  3. the built-in ports (ttyS<n>) that have a UART behind them. The kernel
//     makes a ttyS node for every port it may have, present or not; the
//     serial driver's port type, which it shows to every user in
//     `tty_classes`/ttyS<n>/type (normally /sys/class/tty), is not 0
//     (unknown) where it found hardware. No port is opened to find out: an
//     opening would raise the lines of whatever device hangs on it.
// A missing serial/by-id/ folder (no adapter plugged in) or device folder
// gives the rest, or nothing; listing never fails.
std::vector<SerialDeviceName> ListSerialDevices(const std::string& devices = "/dev",
                                                const std::string& tty_classes = "/sys/class/tty");

}  // namespace pelorin::posix
