// The POSIX serial backend on pseudo-terminals of the serial stand-in
// (tools/serial-standin): the test's command line makes ports 1 and 2 and
// preloads the library that gives them modem lines.
#include "platform/posix/serial_ports.h"

#include <fcntl.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "input/lost_port_watch.h"
#include "input/port_channel.h"
#include "support/fake_clock.h"
#include "support/fake_message_boxes.h"
#include "support/standin_lines.h"
#include "temp_folder.h"
#include "tools/serial-standin/standin_state.h"

namespace pelorin::posix {
namespace {

using pelorin::testing::FakeClock;
using pelorin::testing::FakeMessageBoxes;
using pelorin::testing::StandinLines;

TEST(PosixDevicePathTest, PortNumbersMapToTtySByDefaultAndCanBeRepointed) {
  SerialPorts ports;
  EXPECT_EQ(ports.DevicePath(1), "/dev/ttyS0");
  EXPECT_EQ(ports.DevicePath(16), "/dev/ttyS15");
  ports.SetDevicePath(3, "/dev/ttyUSB0");
  EXPECT_EQ(ports.DevicePath(3), "/dev/ttyUSB0");
  EXPECT_EQ(ports.DevicePath(4), "/dev/ttyS3");
  ports.SetDevicePath(3, "");
  EXPECT_EQ(ports.DevicePath(3), "/dev/ttyS2");
}

TEST(PosixDevicePathTest, DevicesThatAreMissingOrNoTerminalsFailToOpen) {
  SerialPorts ports;
  ports.SetDevicePath(1, "/nonexistent/ttyPelorin");
  ports.SetDevicePath(2, "/dev/null");
  const struct {
    int number;
    int cause;
  } cases[] = {{1, ENOENT}, {2, ENOTTY}, {0, ENODEV}};
  for (const auto& c : cases) {
    auto opened = ports.Open(c.number);
    ASSERT_FALSE(opened) << c.number;
    EXPECT_EQ(opened.error().code, c.cause) << Describe(opened.error());
  }
  EXPECT_EQ(Describe(ports.Open(1).error()), "open /nonexistent/ttyPelorin: error " +
                                                 std::to_string(ENOENT) + " (" +
                                                 std::strerror(ENOENT) + ")");
}

class PosixSerialPortsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const char* tty = std::getenv("PELORIN_STANDIN_TTY1");
    auto lines = StandinLines::ForPort(1);
    if (tty == nullptr || !lines) GTEST_SKIP() << "not running under the serial stand-in";
    tty_ = tty;
    lines_.emplace(*lines);
    ports_.SetDevicePath(1, tty_);
    ASSERT_TRUE(lines_->SetInputs(0));
  }

  unsigned Outputs() const { return lines_->Read().value_or(~0u) & STANDIN_OUTPUTS; }

  std::string tty_;
  SerialPorts ports_;
  std::optional<StandinLines> lines_;
};

TEST_F(PosixSerialPortsTest, ReadsEachInputLineAsItsStatusBit) {
  auto device = ports_.Open(1).Release();
  ASSERT_NE(device, nullptr);
  const struct {
    unsigned line;
    std::uint32_t bit;
  } cases[] = {{0, 0},
               {STANDIN_DCD, kModemDcd},
               {STANDIN_DSR, kModemDsr},
               {STANDIN_CTS, kModemCts},
               {STANDIN_RI, kModemRing},
               {STANDIN_INPUTS, kModemDcd | kModemDsr | kModemCts | kModemRing}};
  for (const auto& c : cases) {
    ASSERT_TRUE(lines_->SetInputs(c.line));
    EXPECT_EQ(device->ReadModemStatus(), std::optional<std::uint32_t>(c.bit)) << c.line;
  }
}

TEST_F(PosixSerialPortsTest, SwitchesDtrAndRtsWithoutTouchingInputs) {
  auto device = ports_.Open(1).Release();
  ASSERT_NE(device, nullptr);
  ASSERT_TRUE(lines_->SetInputs(STANDIN_CTS));
  EXPECT_TRUE(device->SetDtr(true));
  EXPECT_TRUE(device->SetRts(true));
  EXPECT_EQ(lines_->Read(), std::optional<unsigned>(STANDIN_CTS | STANDIN_DTR | STANDIN_RTS));
  EXPECT_TRUE(device->SetDtr(false));
  EXPECT_EQ(Outputs(), unsigned{STANDIN_RTS});
  EXPECT_TRUE(device->SetRts(false));
  EXPECT_EQ(lines_->Read(), std::optional<unsigned>(STANDIN_CTS));
}

// A tty left with hardware flow control would have the kernel switch RTS
// itself; after the set-up RTS is low and the line ignores carrier.
TEST_F(PosixSerialPortsTest, SetUpTurnsFlowControlOffAndLowersRts) {
  auto device = ports_.Open(1).Release();
  ASSERT_NE(device, nullptr);
  const int fd = static_cast<int>(device->RawHandle());
  termios settings{};
  ASSERT_EQ(::tcgetattr(fd, &settings), 0);
  settings.c_cflag = (settings.c_cflag | CRTSCTS) & ~static_cast<tcflag_t>(CLOCAL);
  settings.c_iflag |= IXON | IXOFF;
  ASSERT_EQ(::tcsetattr(fd, TCSANOW, &settings), 0);
  ASSERT_TRUE(device->SetRts(true));

  ASSERT_TRUE(device->SetUpModemLines());
  ASSERT_EQ(::tcgetattr(fd, &settings), 0);
  EXPECT_EQ(settings.c_cflag & (CRTSCTS | CLOCAL), tcflag_t{CLOCAL});
  EXPECT_EQ(settings.c_iflag & (IXON | IXOFF), tcflag_t{0});
  EXPECT_EQ(Outputs() & STANDIN_RTS, 0u);
  EXPECT_EQ(ports_.ReportedPorts(), std::vector<ComPortNumber>{ComPortNumber{1}})
      << "the ports pointed at a device";
}

TEST_F(PosixSerialPortsTest, PortIsHeldExclusivelyUntilReleased) {
  auto first = ports_.Open(1).Release();
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(ports_.Open(1).error().code, EBUSY);
  SerialPorts another_program;
  another_program.SetDevicePath(7, tty_);
  EXPECT_FALSE(another_program.Open(7));
  first.reset();
  EXPECT_TRUE(ports_.Open(1)) << "releasing the port drops exclusive mode";
}

TEST_F(PosixSerialPortsTest, PortInExclusiveModeElsewhereFailsToOpen) {
  // Another program that only sets exclusive mode (root passes TIOCEXCL, so
  // the backend checks the mode itself).
  const int holder = ::open(tty_.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
  ASSERT_GE(holder, 0);
  ASSERT_EQ(::ioctl(holder, TIOCEXCL), 0);
  EXPECT_FALSE(ports_.Open(1));
  ::ioctl(holder, TIOCNXCL);
  ::close(holder);
  EXPECT_TRUE(ports_.Open(1));
}

TEST_F(PosixSerialPortsTest, ChannelRaisesDtrAndReadsTheLines) {
  FakeMessageBoxes boxes;
  PortChannel channel(PortRole::Primary, ports_, boxes);
  ASSERT_TRUE(channel.Open(ComPortNumber{1}));
  EXPECT_EQ(Outputs(), unsigned{STANDIN_DTR});
  ASSERT_TRUE(lines_->SetInputs(STANDIN_DSR | STANDIN_RI));
  EXPECT_EQ(channel.ReadLines(), (LineLevels{.dsr = true, .ri = true}));
  channel.SetRts(true);
  EXPECT_EQ(Outputs(), unsigned{STANDIN_DTR | STANDIN_RTS});
  EXPECT_TRUE(boxes.shown.empty());
}

// Without its state file the stand-in passes the status request to the
// pseudo-terminal, which refuses it, as an unplugged adapter would.
TEST_F(PosixSerialPortsTest, StatusReadThatFailsReadsAsAllLinesUpWithoutABox) {
  FakeMessageBoxes boxes;
  PortChannel channel(PortRole::Primary, ports_, boxes);
  ASSERT_TRUE(channel.Open(ComPortNumber{1}));
  ASSERT_TRUE(lines_->SetInputs(STANDIN_DCD));
  ASSERT_TRUE(channel.ReadLines().dcd);

  ASSERT_EQ(std::remove(lines_->path().c_str()), 0);
  EXPECT_EQ(channel.ReadLines(), LineLevels{});
  EXPECT_TRUE(channel.IsOpen());
  EXPECT_TRUE(boxes.shown.empty());

  const int restored = ::open(lines_->path().c_str(), O_CREAT | O_WRONLY, 0666);
  ASSERT_GE(restored, 0);
  ::close(restored);
  EXPECT_TRUE(lines_->SetInputs(0));
}

// An adapter's device link (as udev makes /dev/serial/by-id/...) that goes
// away with its status read and comes back: the lost port gives up its
// descriptor, fails its tries without a box, and opens again with DTR up.
TEST_F(PosixSerialPortsTest, LostPortWhosePathDisappearsOpensAgainWhenItReturns) {
  testing::TempFolder folder;
  const std::string link = folder.path() + "/ttyAdapter";
  ASSERT_EQ(::symlink(tty_.c_str(), link.c_str()), 0);
  ports_.SetDevicePath(1, link);
  FakeClock clock;
  FakeMessageBoxes boxes;
  PortChannel channel(PortRole::Primary, ports_, boxes);
  PortChannel unused(PortRole::Secondary, ports_, boxes);
  LostPortWatch watch(clock, channel, unused);
  channel.WatchForReturn(true);
  ASSERT_TRUE(channel.Open(ComPortNumber{1}));
  ASSERT_TRUE(lines_->SetInputs(STANDIN_DCD));
  ASSERT_TRUE(channel.ReadLines().dcd);

  ASSERT_EQ(std::remove(lines_->path().c_str()), 0);
  ASSERT_EQ(::unlink(link.c_str()), 0);
  EXPECT_EQ(channel.ReadLines(), LineLevels{});
  EXPECT_TRUE(channel.IsLost());
  EXPECT_EQ(ports_.Open(1).error().code, ENOENT);
  for (int second = 0; second < 3; ++second, clock.Advance(kLostPortRetryMs)) watch.OnCycle();
  EXPECT_TRUE(channel.IsLost());

  const int restored = ::open(lines_->path().c_str(), O_CREAT | O_WRONLY, 0666);
  ASSERT_GE(restored, 0);
  ::close(restored);
  ASSERT_TRUE(lines_->SetInputs(STANDIN_DCD));
  ASSERT_EQ(::symlink(tty_.c_str(), link.c_str()), 0);
  watch.PortArrived();
  watch.OnCycle();
  EXPECT_TRUE(channel.IsOpen());
  EXPECT_EQ(Outputs(), unsigned{STANDIN_DTR});
  EXPECT_TRUE(channel.ReadLines().dcd);
  EXPECT_TRUE(boxes.shown.empty());
}

}  // namespace
}  // namespace pelorin::posix
