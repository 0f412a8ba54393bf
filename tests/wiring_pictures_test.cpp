#include "ui/wiring_pictures.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <map>
#include <set>
#include <utility>

#include "platform/nearest_whole.h"
#include "ui/bitmap_file.h"
#include "ui/schematic.h"

namespace pelorin {
namespace {

// ---- The netlists -------------------------------------------------------

// The rasteriser's rounding (and the Linux volume's): halves away from
// zero, and exact just beside a half, where adding 0.5 would round up.
TEST(NearestWholeTest, RoundsHalvesAwayFromZeroAndNothingElse) {
  const std::pair<double, long> cases[] = {
      {0.0, 0},          {0.5, 1},          {1.5, 2},          {2.5, 3},
      {-0.5, -1},        {-1.5, -2},        {-2.4999, -2},     {2.5000001, 3},
      {65535.49, 65535}, {0.49999999999999994, 0},           {-0.49999999999999994, 0},
      {2147483646.5, 2147483647},
  };
  for (const auto& [value, nearest] : cases) EXPECT_EQ(NearestWhole(value), nearest) << value;
}

TEST(WiringNetlistTest, PlugPinsAreTheStandardSerialPinout) {
  const std::map<Signal, std::pair<int, int>> expected = {
      {Signal::kDtr, {4, 20}}, {Signal::kDcd, {1, 8}}, {Signal::kDsr, {6, 6}},
      {Signal::kCts, {8, 5}},  {Signal::kRi, {9, 22}}, {Signal::kGround, {5, 7}},
      {Signal::kRts, {7, 4}}};
  for (const auto& [signal, pins] : expected) {
    EXPECT_EQ(PinsOf(signal).pin9, pins.first) << SignalName(signal);
    EXPECT_EQ(PinsOf(signal).pin25, pins.second) << SignalName(signal);
  }
}

// The status lines a button reaches: directly, or through the diodes that
// lead away from its inner node.
std::set<int> LinesReachedBy(const Netlist& netlist, const Part& button) {
  if (button.cathode < kSignalCount) return {button.cathode};
  std::set<int> lines;
  for (const Part& part : netlist.parts) {
    if (part.kind == PartKind::kDiode && part.anode == button.cathode) lines.insert(part.cathode);
  }
  return lines;
}

std::set<int> LinesOfBits(int number) {
  std::set<int> lines;
  for (int bit = 0; bit < 4; ++bit) {
    if (number & (1 << bit)) lines.insert(Netlist::NetOf(StatusLineOfBit(bit)));
  }
  return lines;
}

TEST(WiringNetlistTest, FourButtonsJoinDtrToOneLineEach) {
  const Netlist netlist = FourButtonWiring();
  int buttons = 0;
  for (const Part& part : netlist.parts) {
    ASSERT_NE(part.kind, PartKind::kDiode);
    if (part.kind != PartKind::kButton) continue;
    ++buttons;
    EXPECT_EQ(part.anode, Netlist::NetOf(Signal::kDtr));
    EXPECT_EQ(LinesReachedBy(netlist, part), LinesOfBits(1 << (part.button - 1)))
        << "button " << part.button;
  }
  EXPECT_EQ(buttons, 4);
}

TEST(WiringNetlistTest, FifteenButtonsReachExactlyTheLinesOfTheirBits) {
  const Netlist netlist = FifteenButtonWiring();
  std::set<int> numbers;
  for (const Part& part : netlist.parts) {
    if (part.kind != PartKind::kButton) continue;
    numbers.insert(part.button);
    EXPECT_EQ(part.anode, Netlist::NetOf(Signal::kDtr)) << "button " << part.button;
    EXPECT_EQ(LinesReachedBy(netlist, part), LinesOfBits(part.button)) << "button " << part.button;
  }
  EXPECT_EQ(numbers.size(), 15u);
  EXPECT_EQ(*numbers.begin(), 1);
  EXPECT_EQ(*numbers.rbegin(), 15);
}

TEST(WiringNetlistTest, OnlyButtonsReachingSeveralLinesHaveDiodesOneOfEachPerLine) {
  const Netlist netlist = FifteenButtonWiring();
  std::map<int, int> diodes_per_button;
  int diodes = 0;
  for (const Part& part : netlist.parts) {
    if (part.kind != PartKind::kDiode) continue;
    ++diodes;
    ++diodes_per_button[part.button];
    // Current flows from the button into the line, never out of a line.
    EXPECT_GE(part.anode, kSignalCount);
    EXPECT_LT(part.cathode, kSignalCount);
  }
  EXPECT_EQ(diodes, 28);
  for (int button = 1; button <= 15; ++button) {
    const int lines = static_cast<int>(LinesOfBits(button).size());
    EXPECT_EQ(diodes_per_button[button], lines > 1 ? lines : 0) << "button " << button;
  }
}

class LedWiringTest : public testing::TestWithParam<Netlist (*)()> {};

TEST_P(LedWiringTest, PowerLedHangsOnDtrThroughItsResistorAndTheOtherOnRts) {
  const Netlist netlist = GetParam()();
  const int dtr = Netlist::NetOf(Signal::kDtr);
  const int rts = Netlist::NetOf(Signal::kRts);
  const int ground = Netlist::NetOf(Signal::kGround);
  std::vector<const Part*> leds;
  const Part* resistor = nullptr;
  for (const Part& part : netlist.parts) {
    if (part.kind == PartKind::kLed) leds.push_back(&part);
    if (part.kind == PartKind::kResistor) resistor = &part;
  }
  ASSERT_EQ(leds.size(), 2u);
  ASSERT_NE(resistor, nullptr);
  EXPECT_EQ(resistor->label, "680 \xCE\xA9 - 1 k\xCE\xA9");
  const Part& power = leds[0]->anode == rts ? *leds[1] : *leds[0];
  const Part& on_rts = leds[0]->anode == rts ? *leds[0] : *leds[1];
  EXPECT_EQ(on_rts.anode, rts);
  EXPECT_EQ(on_rts.cathode, ground);
  EXPECT_EQ(power.cathode, ground);
  EXPECT_EQ(std::set({resistor->anode, resistor->cathode}), std::set({dtr, power.anode}));
}

INSTANTIATE_TEST_SUITE_P(BothWirings, LedWiringTest,
                         testing::Values(&FourButtonWiring, &FifteenButtonWiring));

// ---- The pictures -------------------------------------------------------

// Traces the copper of a picture the way a reader does: wire-coloured pixels
// that touch are joined, except at a crossing without a dot (a pixel with
// wire on all four sides and on no diagonal), where each wire runs straight
// on. Returns a net number per pixel, -1 for pixels that are no wire.
class CopperTrace {
 public:
  explicit CopperTrace(const Raster& raster) : raster_(raster), nets_(raster.pixels().size(), -1) {
    for (int y = 0; y < raster.height(); ++y) {
      for (int x = 0; x < raster.width(); ++x) {
        if (IsWire({x, y}) && !IsCrossing({x, y}) && NetAt({x, y}) < 0) Flood({x, y}, count_++);
      }
    }
  }

  int NetAt(Point p) const { return nets_[Index(p)]; }
  bool IsWire(Point p) const {
    return raster_.Contains(p.x, p.y) && raster_.At(p.x, p.y) == schematic::kWire;
  }

 private:
  bool IsCrossing(Point p) const {
    const bool straight = IsWire({p.x - 1, p.y}) && IsWire({p.x + 1, p.y}) &&
                          IsWire({p.x, p.y - 1}) && IsWire({p.x, p.y + 1});
    const bool diagonal = IsWire({p.x - 1, p.y - 1}) || IsWire({p.x + 1, p.y - 1}) ||
                          IsWire({p.x - 1, p.y + 1}) || IsWire({p.x + 1, p.y + 1});
    return IsWire(p) && straight && !diagonal;
  }

  std::size_t Index(Point p) const {
    return static_cast<std::size_t>(p.y) * static_cast<std::size_t>(raster_.width()) +
           static_cast<std::size_t>(p.x);
  }

  void Flood(Point start, int net) {
    std::vector<Point> pending = {start};
    nets_[Index(start)] = net;
    while (!pending.empty()) {
      const Point p = pending.back();
      pending.pop_back();
      for (const Point step : {Point{1, 0}, Point{-1, 0}, Point{0, 1}, Point{0, -1}}) {
        Point next{p.x + step.x, p.y + step.y};
        while (IsCrossing(next)) next = {next.x + step.x, next.y + step.y};
        if (!IsWire(next) || nets_[Index(next)] >= 0) continue;
        nets_[Index(next)] = net;
        pending.push_back(next);
      }
    }
  }

  const Raster& raster_;
  std::vector<int> nets_;
  int count_ = 0;
};

struct PictureCase {
  const char* name;
  WiringDrawing (*draw)();
  int width;
  int height;
  friend void PrintTo(const PictureCase& picture, std::ostream* out) { *out << picture.name; }
};

class WiringPictureTest : public testing::TestWithParam<PictureCase> {};

TEST_P(WiringPictureTest, HasItsSizeAndStaysInsideItsFrame) {
  const WiringDrawing picture = GetParam().draw();
  const Raster& raster = picture.raster;
  ASSERT_EQ(raster.width(), GetParam().width);
  ASSERT_EQ(raster.height(), GetParam().height);
  // Nothing runs off an edge: the outermost pixels are all background.
  for (int x = 0; x < raster.width(); ++x) {
    EXPECT_EQ(raster.At(x, 0), schematic::kBackground) << "top, x " << x;
    EXPECT_EQ(raster.At(x, raster.height() - 1), schematic::kBackground) << "bottom, x " << x;
  }
  for (int y = 0; y < raster.height(); ++y) {
    EXPECT_EQ(raster.At(0, y), schematic::kBackground) << "left, y " << y;
    EXPECT_EQ(raster.At(raster.width() - 1, y), schematic::kBackground) << "right, y " << y;
  }
}

TEST_P(WiringPictureTest, SavesAsASixteenColourBitmapThatReadsBackTheSame) {
  const WiringDrawing picture = GetParam().draw();
  const std::vector<std::uint8_t> bytes = EncodeBitmap(picture.raster);
  EXPECT_EQ(bytes[28], 4);   // bits per pixel
  EXPECT_EQ(bytes[46], 16);  // colours used
  const std::optional<DecodedBitmap> decoded = DecodeBitmap(bytes);
  ASSERT_TRUE(decoded.has_value());
  EXPECT_EQ(decoded->raster, picture.raster);
  EXPECT_EQ(decoded->palette.size(), 16u);
}

TEST_P(WiringPictureTest, DrawnWiresJoinExactlyThePartsTheNetlistJoins) {
  const WiringDrawing picture = GetParam().draw();
  const CopperTrace trace(picture.raster);
  std::map<int, int> traced_of_net;  // netlist net -> traced copper net
  auto expect_on = [&](int net, Point at, const std::string& what) {
    ASSERT_TRUE(trace.IsWire(at)) << what << " has no wire at " << at.x << "," << at.y;
    const int traced = trace.NetAt(at);
    const auto [known, inserted] = traced_of_net.emplace(net, traced);
    EXPECT_EQ(known->second, traced)
        << what << " is not wired to net " << picture.netlist.net_names[net];
  };
  for (int s = 0; s < kSignalCount; ++s) {
    expect_on(s, picture.plug_ends[s], "plug pin " + picture.netlist.net_names[s]);
  }
  ASSERT_EQ(picture.terminals.size(), picture.netlist.parts.size());
  for (std::size_t i = 0; i < picture.netlist.parts.size(); ++i) {
    const Part& part = picture.netlist.parts[i];
    const std::string what =
        "part " + std::to_string(i) + " (button " + std::to_string(part.button) + ")";
    expect_on(part.anode, picture.terminals[i][0], what + " anode side");
    expect_on(part.cathode, picture.terminals[i][1], what + " cathode side");
  }
  // No two nets of the netlist share drawn copper: nothing is shorted.
  std::set<int> distinct;
  for (const auto& [net, traced] : traced_of_net) {
    EXPECT_TRUE(distinct.insert(traced).second)
        << "net " << picture.netlist.net_names[net] << " is drawn joined to another net";
  }
}

// Set PELORIN_WIRING_PICTURES to a folder to get both pictures as files,
// for looking at them (scripts/render-wiring.sh).
TEST_P(WiringPictureTest, WritesItsFileWhenAsked) {
  const char* folder = std::getenv("PELORIN_WIRING_PICTURES");
  if (folder == nullptr || *folder == '\0') GTEST_SKIP() << "PELORIN_WIRING_PICTURES not set";
  const std::filesystem::path path =
      std::filesystem::path(folder) / (std::string(GetParam().name) + ".bmp");
  EXPECT_TRUE(WriteBitmapFile(path.string(), GetParam().draw().raster)) << path;
}

INSTANTIATE_TEST_SUITE_P(HelpTab, WiringPictureTest,
                         testing::Values(PictureCase{"wiring-4", &DrawFourButtonWiring, 300, 294},
                                         PictureCase{"wiring-15", &DrawFifteenButtonWiring, 1340,
                                                     300}),
                         [](const testing::TestParamInfo<PictureCase>& info) {
                           return std::string(info.param.name == std::string("wiring-4")
                                                  ? "FourButtons"
                                                  : "FifteenButtons");
                         });

}  // namespace
}  // namespace pelorin
