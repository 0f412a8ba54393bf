// A day of simulated use: random presses, holds and releases on all 30
// virtual buttons of both ports, in every port mode and click mode, with
// delayed cycles and long idle stretches. After every cycle the events sent
// are checked against what the line edges of that cycle allow; after every
// phase the engine must fall silent once the buttons are let go.
#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <random>
#include <tuple>
#include <vector>

#include "input/decoder.h"
#include "support/engine_rig.h"

namespace pelorin {
namespace {

using testing::EngineRig;
using Event = testing::RecordingCommandSink::Event;

constexpr std::int64_t kDayMs = 24LL * 60 * 60 * 1000;
constexpr int kPhases = 96;
constexpr std::int64_t kActiveMs = 40 * 1000;
constexpr std::int64_t kQuietMs = 3 * 1000;

// What one virtual button did in one cycle, by its decoded levels.
struct Edge {
  bool before = false;
  bool now = false;
  bool Pressed() const { return !before && now; }
  bool Released() const { return before && !now; }
};

// Counts kept per virtual button across a phase.
struct Tally {
  int presses = 0;
  int single_clicks = 0;
  int double_clicks = 0;
};

class PollCycleSoakTest : public ::testing::Test {
 protected:
  void SetUp() override {
    rig_.OpenSecondary();
    rig_.view.keep_code_updates = false;
  }

  // New port modes, click modes and timings for the next phase, chosen
  // while every button is up and no window or repeat is open.
  void NewPhase() {
    for (PortRole port : kPortRoles) {
      rig_.settings.PortSettings(port).Mode = ChoiceAt<PortMode>(static_cast<int>(random_() % 4));
      for (int b = 1; b <= kButtonsPerPort; ++b) {
        // Mostly the five modes, sometimes a value no list offers.
        const std::uint32_t mode = random_() % 11;
        rig_.settings.Slot(port, b).Mode = static_cast<std::uint8_t>(mode < 10 ? mode % 5 : 200);
      }
    }
    rig_.settings.Options.DblClickSpeed = 1 + static_cast<int>(random_() % 10);
    rig_.settings.Options.TurboCPS = 1 + static_cast<int>(random_() % 100);
    const bool secondary_open = random_() % 4 != 0;
    if (secondary_open && !rig_.secondary.IsOpen()) rig_.OpenSecondary();
    if (!secondary_open) rig_.secondary.Close();
    rig_.SetPlayerRunning(random_() % 3 != 0);
    tallies_ = {};
  }

  VirtualLevels Levels(PortRole port) {
    const std::uint32_t status = rig_.ports.Port(EngineRig::ComOf(port)).status;
    const LineLevels lines{(status & kModemDcd) != 0, (status & kModemDsr) != 0,
                           (status & kModemCts) != 0, (status & kModemRing) != 0};
    return DecodeVirtualButtons(DecodeHardwareButtons(lines, LineAssignment{}),
                                rig_.settings.PortSettings(port).Mode);
  }

  // One cycle `step_ms` after the previous one, then the checks of its
  // events against the levels the engine saw in this cycle and the last.
  void Cycle(std::int64_t step_ms) {
    rig_.clock.Advance(step_ms);
    elapsed_ms_ += step_ms;
    rig_.Cycle();
    // A closed secondary port is not decoded: its buttons keep their levels.
    const std::array<VirtualLevels, 2> now{
        Levels(PortRole::Primary),
        rig_.secondary.IsOpen() ? Levels(PortRole::Secondary) : seen_[1]};
    CheckCycle(now, step_ms);
    seen_ = now;
    rig_.sink.events.clear();
    ++cycles_;
  }

  void CheckCycle(const std::array<VirtualLevels, 2>& now, std::int64_t step_ms) {
    const Event* last = nullptr;
    std::array<std::array<int, 4>, 30> slots{};
    for (const Event& e : rig_.sink.events) {
      ASSERT_TRUE(e.port == PortRole::Primary ||
                  (e.port == PortRole::Secondary && rig_.secondary.IsOpen()));
      ASSERT_GE(e.button, 1);
      ASSERT_LE(e.button, kButtonsPerPort);
      ASSERT_GE(e.slot, 1);
      ASSERT_LE(e.slot, 3);
      if (last != nullptr) {
        ASSERT_TRUE(std::tie(last->port, last->button, last->slot) <=
                    std::tie(e.port, e.button, e.slot))
            << "events of a cycle go by port, button and slot";
      }
      last = &e;
      ++slots[IndexOf(e.port) * kButtonsPerPort + e.button - 1][e.slot];
    }
    for (PortRole port : kPortRoles) {
      for (int b = 1; b <= kButtonsPerPort; ++b) {
        const Edge edge{seen_[IndexOf(port)][b - 1], now[IndexOf(port)][b - 1]};
        const int mode = rig_.settings.Slot(port, b).Mode;
        const auto& sent = slots[IndexOf(port) * kButtonsPerPort + b - 1];
        Tally& tally = tallies_[IndexOf(port) * kButtonsPerPort + b - 1];
        CheckButton(mode, edge, sent, step_ms);
        if (HasFatalFailure()) return;
        if (mode == 0 || mode == 3 || mode == 4) {
          tally.presses += edge.Pressed();
          tally.single_clicks += sent[1];
          tally.double_clicks += sent[2];
          ASSERT_LE(2 * tally.double_clicks + tally.single_clicks, tally.presses)
              << "every click needs presses of its own";
        }
      }
    }
  }

  void CheckButton(int mode, const Edge& edge, const std::array<int, 4>& sent,
                   std::int64_t step_ms) {
    const int cps = rig_.settings.Options.TurboCPS;
    // A repeat is due every 1/cps s; a delayed cycle catches up in a burst.
    const int max_repeats = static_cast<int>(step_ms * cps / 1000) + 2;
    ASSERT_LE(sent[3], max_repeats);
    if (sent[3] > 0) {
      ASSERT_TRUE(edge.now) << "no repeat or hold once released";
    }
    switch (mode) {
      case 0:  // Clicks: a single click when a window ends, a double-click at a press
        ASSERT_LE(sent[1], 1);
        ASSERT_LE(sent[2], edge.Pressed() ? 1 : 0);
        ASSERT_LE(sent[1] + sent[2], 1);
        ASSERT_EQ(sent[3], 0);
        break;
      case 1:  // Down/Up: exactly the edges
        ASSERT_EQ(sent[1], edge.Pressed() ? 1 : 0);
        ASSERT_EQ(sent[2], edge.Released() ? 1 : 0);
        ASSERT_EQ(sent[3], 0);
        break;
      case 2:  // Turbo: repeats from the press
        ASSERT_EQ(sent[1] + sent[2], 0);
        if (edge.Pressed()) {
          ASSERT_GE(sent[3], 1);
        }
        break;
      case 3:  // Clicks+Turbo
      case 4:  // Clicks+Hold
        ASSERT_LE(sent[1], edge.now ? 0 : 1);
        ASSERT_LE(sent[2], edge.Pressed() ? 1 : 0);
        if (mode == 4) {
          ASSERT_LE(sent[3], 1);
        }
        if (edge.Pressed()) {
          ASSERT_EQ(sent[1] + sent[3], 0) << "a press never ends a window";
        }
        break;
      default:
        ASSERT_EQ(sent[1] + sent[2] + sent[3], 0);
    }
  }

  // Random activity: each cycle may flip a line of either port; now and
  // then a cycle comes late, as after a slow command.
  void Active(std::int64_t duration_ms) {
    const std::int64_t end = elapsed_ms_ + duration_ms;
    while (elapsed_ms_ < end) {
      for (PortRole port : kPortRoles) {
        if (random_() % 6 == 0) {
          const int button = 1 + static_cast<int>(random_() % 4);
          const bool down =
              (rig_.ports.Port(EngineRig::ComOf(port)).status & EngineRig::LineOf(button)) != 0;
          rig_.Hold(port, button, !down);
        }
      }
      const std::uint32_t r = random_() % 200;
      Cycle(r == 0 ? 1000 : r < 5 ? 25 * (2 + static_cast<std::int64_t>(r)) : 25);
      if (HasFatalFailure()) return;
    }
  }

  // Everything released: once the longest window has run out, nothing more
  // may be sent, however long the quiet lasts.
  void Quiet() {
    rig_.ports.Port(1).status = 0;
    rig_.ports.Port(2).status = 0;
    for (std::int64_t t = 0; t < 1100; t += 25) Cycle(25);
    const std::int64_t sent = rig_.sink.sent;
    for (std::int64_t t = 0; t < kQuietMs; t += 25) Cycle(25);
    ASSERT_EQ(rig_.sink.sent, sent) << "stuck repeat or window after release";
  }

  EngineRig rig_;
  std::mt19937 random_{20261208};
  std::array<Tally, 30> tallies_{};
  std::array<VirtualLevels, 2> seen_{};  // levels the engine saw in the last cycle
  std::int64_t elapsed_ms_ = 0;
  std::int64_t cycles_ = 0;
};

TEST_F(PollCycleSoakTest, ADayOfRandomUseKeepsEveryEventOnARealEdge) {
  const std::int64_t idle_ms = (kDayMs - kPhases * (kActiveMs + kQuietMs + 1100)) / kPhases;
  ASSERT_GT(idle_ms, 0);
  for (int phase = 0; phase < kPhases; ++phase) {
    NewPhase();
    Active(kActiveMs);
    ASSERT_NO_FATAL_FAILURE(Quiet());
    // The rest of the phase passes in one long-delayed cycle, as after the
    // machine slept: no event may come of it.
    Cycle(idle_ms);
    ASSERT_EQ(rig_.sink.events.size(), 0u);
  }
  EXPECT_EQ(rig_.boxes.shown.size(), 1u) << "asked once, then never again";
  EXPECT_EQ(rig_.launcher.starts, 1);
  EXPECT_TRUE(rig_.timer.running) << "the poll timer is restarted after the question";
  EXPECT_GE(elapsed_ms_, kDayMs - kPhases * 1000);
  EXPECT_GT(rig_.sink.sent, 10000) << "the run exercised the engine";
  RecordProperty("cycles", static_cast<int>(cycles_));
}

}  // namespace
}  // namespace pelorin
