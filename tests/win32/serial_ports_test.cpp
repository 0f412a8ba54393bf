// The Win32 serial backend against Wine's real communications API. The
// ports are pseudo-terminals of the serial stand-in (tools/serial-standin),
// linked as COM5, COM12 and COM20 into the Wine prefix by the test's command line;
// the test drives the inputs and reads the outputs through the stand-in's
// state files on the Z: drive.
#include "platform/win32/serial_ports.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "input/port_channel.h"
#include "support/fake_message_boxes.h"
#include "support/standin_lines.h"
#include "tools/serial-standin/standin_state.h"

namespace pelorin::win32 {
namespace {

using pelorin::testing::FakeMessageBoxes;
using pelorin::testing::StandinLines;

constexpr int kPort = 5;
constexpr int kHighPort = 12;     // beyond COM9: only the \\.\ form reaches it
constexpr int kAdapterPort = 20;  // beyond COM16, where USB adapters often land
constexpr int kMissingPort = 9;

class Win32SerialPortsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    auto port = StandinLines::ForPort(kPort);
    auto high = StandinLines::ForPort(kHighPort);
    auto adapter = StandinLines::ForPort(kAdapterPort);
    if (!port || !high || !adapter) GTEST_SKIP() << "not running under the serial stand-in";
    lines_.emplace(*port);
    high_lines_.emplace(*high);
    adapter_lines_.emplace(*adapter);
    ASSERT_TRUE(lines_->SetInputs(0));
    ASSERT_TRUE(high_lines_->SetInputs(0));
    ASSERT_TRUE(adapter_lines_->SetInputs(0));
  }

  unsigned Outputs(const StandinLines& lines) const {
    return lines.Read().value_or(~0u) & STANDIN_OUTPUTS;
  }

  SerialPorts ports_;
  std::optional<StandinLines> lines_;
  std::optional<StandinLines> high_lines_;
  std::optional<StandinLines> adapter_lines_;
};

TEST_F(Win32SerialPortsTest, ReadsEachInputLineAsItsStatusBit) {
  auto device = ports_.Open(kPort).Release();
  ASSERT_NE(device, nullptr);
  const struct {
    unsigned line;
    std::uint32_t bit;
  } cases[] = {{STANDIN_DCD, kModemDcd},
               {STANDIN_DSR, kModemDsr},
               {STANDIN_CTS, kModemCts},
               {STANDIN_RI, kModemRing}};
  for (const auto& c : cases) {
    ASSERT_TRUE(lines_->SetInputs(c.line));
    EXPECT_EQ(device->ReadModemStatus(), std::optional<std::uint32_t>(c.bit));
  }
  ASSERT_TRUE(lines_->SetInputs(STANDIN_INPUTS));
  EXPECT_EQ(device->ReadModemStatus(),
            std::optional<std::uint32_t>(kModemDcd | kModemDsr | kModemCts | kModemRing));
  ASSERT_TRUE(lines_->SetInputs(0));
  EXPECT_EQ(device->ReadModemStatus(), std::optional<std::uint32_t>(0));
}

TEST_F(Win32SerialPortsTest, SwitchesDtrAndRts) {
  auto device = ports_.Open(kPort).Release();
  ASSERT_NE(device, nullptr);
  EXPECT_TRUE(device->SetDtr(true));
  EXPECT_EQ(Outputs(*lines_), unsigned{STANDIN_DTR});
  EXPECT_TRUE(device->SetRts(true));
  EXPECT_EQ(Outputs(*lines_), unsigned{STANDIN_DTR | STANDIN_RTS});
  EXPECT_TRUE(device->SetRts(false));
  EXPECT_EQ(Outputs(*lines_), unsigned{STANDIN_DTR});
  EXPECT_TRUE(device->SetDtr(false));
  EXPECT_EQ(Outputs(*lines_), 0u);
}

TEST_F(Win32SerialPortsTest, PortIsNotSharedUntilReleased) {
  auto first = ports_.Open(kPort).Release();
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(ports_.Open(kPort).error().code, ERROR_BUSY);
  first.reset();
  EXPECT_TRUE(ports_.Open(kPort)) << "destroying the device closes the handle";
}

TEST_F(Win32SerialPortsTest, MissingPortFailsToOpenAndSaysWhy) {
  auto missing = ports_.Open(kMissingPort);
  ASSERT_FALSE(missing);
  EXPECT_EQ(missing.error().code, ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(Describe(missing.error()).rfind("CreateFile \\\\.\\COM9: error 2 (", 0), 0u)
      << Describe(missing.error());
}

TEST_F(Win32SerialPortsTest, PortsAboveNineOpenThroughTheDeviceNamespace) {
  EXPECT_EQ(ComPortPath(1), "\\\\.\\COM1");
  EXPECT_EQ(ComPortPath(kHighPort), "\\\\.\\COM12");
  auto device = ports_.Open(kHighPort).Release();
  ASSERT_NE(device, nullptr);
  ASSERT_TRUE(high_lines_->SetInputs(STANDIN_RI));
  EXPECT_EQ(device->ReadModemStatus(), std::optional<std::uint32_t>(kModemRing));
  EXPECT_NE(device->RawHandle(), 0);
}

// The ports Windows lists for every user: values that name no COM port (a
// printer port, a leading zero, data that is no string) are left out, and
// the list is in number order whatever the order of the values.
TEST_F(Win32SerialPortsTest, ReportedPortsAreTheComValuesTheSystemLists) {
  HKEY key = nullptr;
  ASSERT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, L"HARDWARE\\DEVICEMAP\\SERIALCOMM", 0, nullptr,
                            REG_OPTION_VOLATILE, KEY_SET_VALUE, nullptr, &key, nullptr),
            ERROR_SUCCESS);
  const std::wstring values[] = {L"COM200", L"LPT1",   L"com20",
                                 L"COM020", L"COM256", std::wstring(L"COM19\0junk", 10)};
  const auto name = [](std::size_t i) { return L"\\Device\\PelorinTest" + std::to_wstring(i); };
  for (std::size_t i = 0; i < std::size(values); ++i) {
    ASSERT_EQ(RegSetValueExW(key, name(i).c_str(), 0, REG_SZ,
                             reinterpret_cast<const BYTE*>(values[i].data()),
                             static_cast<DWORD>(values[i].size() * sizeof(wchar_t))),
              ERROR_SUCCESS);
  }
  const DWORD not_text = 7;
  ASSERT_EQ(RegSetValueExW(key, name(std::size(values)).c_str(), 0, REG_DWORD,
                           reinterpret_cast<const BYTE*>(&not_text), sizeof not_text),
            ERROR_SUCCESS);
  const std::vector<ComPortNumber> reported = ports_.ReportedPorts();
  for (std::size_t i = 0; i <= std::size(values); ++i) RegDeleteValueW(key, name(i).c_str());
  RegCloseKey(key);

  // The prefix may list ports of its own around ours.
  EXPECT_TRUE(std::is_sorted(reported.begin(), reported.end()));
  EXPECT_EQ(std::adjacent_find(reported.begin(), reported.end()), reported.end());
  for (int number : {0, 7, 19, 20, 200, 256}) {
    const bool listed = std::ranges::find(reported, ComPortNumber{number}) != reported.end();
    EXPECT_EQ(listed, number == 19 || number == 20 || number == 200) << number;
  }
}

// The channel on the real backend: what the poll cycle and the LED see.
TEST_F(Win32SerialPortsTest, ChannelRaisesDtrReadsLinesAndRefusesTheSamePortTwice) {
  FakeMessageBoxes boxes;
  PortChannel primary(PortRole::Primary, ports_, boxes);
  PortChannel secondary(PortRole::Secondary, ports_, boxes);
  ASSERT_TRUE(lines_->Change(STANDIN_RTS, STANDIN_DTR));  // as another program left it
  ASSERT_TRUE(primary.Open(ComPortNumber{kPort}));
  EXPECT_EQ(Outputs(*lines_), unsigned{STANDIN_DTR}) << "set up, then DTR raised";
  DCB dcb{};
  dcb.DCBlength = sizeof dcb;
  ASSERT_TRUE(GetCommState(reinterpret_cast<HANDLE>(primary.Handle()), &dcb));
  EXPECT_EQ(dcb.fDtrControl, unsigned{DTR_CONTROL_ENABLE});
  EXPECT_EQ(dcb.fRtsControl, unsigned{RTS_CONTROL_DISABLE});
  EXPECT_FALSE(dcb.fOutxCtsFlow || dcb.fOutxDsrFlow || dcb.fOutX || dcb.fInX);

  ASSERT_TRUE(lines_->SetInputs(STANDIN_CTS | STANDIN_DCD));
  EXPECT_EQ(primary.ReadLines(), (LineLevels{.dcd = true, .cts = true}));
  primary.SetRts(true);
  EXPECT_EQ(Outputs(*lines_), unsigned{STANDIN_DTR | STANDIN_RTS});

  EXPECT_FALSE(secondary.Open(ComPortNumber{kPort}));
  ASSERT_EQ(boxes.shown.size(), 1u);
  EXPECT_EQ(boxes.shown[0].text, OpenErrorText(ComPortNumber{kPort}));
  EXPECT_EQ(primary.ReadLines(), (LineLevels{.dcd = true, .cts = true}));

  ASSERT_TRUE(secondary.Open(ComPortNumber{kAdapterPort}));
  EXPECT_EQ(Outputs(*adapter_lines_), unsigned{STANDIN_DTR});
  ASSERT_TRUE(adapter_lines_->SetInputs(STANDIN_DSR));
  EXPECT_EQ(secondary.ReadLines(), (LineLevels{.dsr = true}));
  secondary.Close();

  ASSERT_TRUE(primary.Open(ComPortNumber{kPort})) << "re-opening closes first";
  EXPECT_EQ(Outputs(*lines_) & STANDIN_DTR, unsigned{STANDIN_DTR});
  EXPECT_FALSE(primary.Open(ComPortNumber{kMissingPort}));
  EXPECT_EQ(primary.ReadLines(), LineLevels{});
  EXPECT_TRUE(ports_.Open(kPort)) << "the failed re-open released the old port";
}

// A port whose device stops answering (an unplugged adapter): the stand-in
// without its state file passes the status request to the pseudo-terminal,
// which refuses it.
TEST_F(Win32SerialPortsTest, StatusReadThatFailsReadsAsAllLinesUpWithoutABox) {
  FakeMessageBoxes boxes;
  PortChannel primary(PortRole::Primary, ports_, boxes);
  ASSERT_TRUE(primary.Open(ComPortNumber{kPort}));
  ASSERT_TRUE(lines_->SetInputs(STANDIN_INPUTS));
  ASSERT_EQ(primary.ReadLines(), (LineLevels{.dcd = true, .dsr = true, .cts = true, .ri = true}));

  ASSERT_TRUE(DeleteFileA(lines_->path().c_str()));
  EXPECT_EQ(primary.ReadLines(), LineLevels{});
  EXPECT_TRUE(primary.IsOpen());
  EXPECT_TRUE(boxes.shown.empty());

  // Put the state file back for the tests that follow.
  HANDLE file = CreateFileA(lines_->path().c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  CloseHandle(file);
  EXPECT_TRUE(lines_->SetInputs(0));
}

}  // namespace
}  // namespace pelorin::win32
