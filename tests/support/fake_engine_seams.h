#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "actions/player_channel.h"
#include "engine/player_absent_policy.h"
#include "engine/poll_cycle.h"
#include "platform/clock.h"

namespace pelorin::testing {

// The dispatcher, recording every event with the time it was sent.
class RecordingCommandSink final : public CommandSink {
 public:
  struct Event {
    WindowId player;
    PortRole port;
    int button;
    int slot;
    std::int64_t at_ms;
    bool operator==(const Event&) const = default;
  };

  explicit RecordingCommandSink(const Clock& clock) : clock_(clock) {}

  void SendCommand(WindowId player, PortRole port, int button, int slot) override {
    ++sent;
    if (!keep_events) return;
    events.push_back({player, port, button, slot, clock_.NowMs()});
    if (on_send) on_send(events.back());
  }

  // Events of virtual `button` of `port` with event `slot`.
  int Count(PortRole port, int button, int slot) const {
    int n = 0;
    for (const Event& e : events) n += e.port == port && e.button == button && e.slot == slot;
    return n;
  }

  std::vector<Event> events;
  std::function<void(const Event&)> on_send;  // e.g. a command that takes time
  // Off: only count, so that a long run (a benchmark) allocates nothing.
  bool keep_events = true;
  std::int64_t sent = 0;

 private:
  const Clock& clock_;
};

class FakeCycleView final : public PortIndicatorView,
                            public LineIndicatorView,
                            public DoubleClickTestView {
 public:
  void ShowHardwareButton(PortRole port, int index, bool pressed) override {
    hardware[IndexOf(port)][index] = pressed;
  }
  void ShowCombinationCode(PortRole port, int code) override {
    codes[IndexOf(port)] = code;
    if (keep_code_updates) code_updates.push_back({port, code});
  }
  void ShowLines(PortRole port, const LineLevels& levels) override {
    lines[IndexOf(port)] = levels;
  }
  void FlipTestPicture() override {
    picture = 1 - picture;
    ++flips;
  }

  bool hardware[2][4] = {};
  int codes[2] = {};
  std::vector<std::pair<PortRole, int>> code_updates;
  bool keep_code_updates = true;  // off: a long run (a benchmark) allocates nothing
  LineLevels lines[2];
  int picture = 0;  // picture 0 at start-up
  int flips = 0;
};

class FakeRemapLineFeed final : public RemapLineFeed {
 public:
  bool ShowsAutoPage() const override { return auto_page; }
  void DcdRose() override { calls.push_back("DCD"); }
  void DsrRose() override { calls.push_back("DSR"); }
  void CtsRose() override { calls.push_back("CTS"); }
  void RiRose() override { calls.push_back("RI"); }

  bool auto_page = false;
  std::vector<std::string> calls;
};

class FakePollTimer final : public PollTimerControl {
 public:
  void StopPollTimer() override {
    running = false;
    ++stops;
  }
  bool StartPollTimer() override {
    if (ending) return false;
    running = true;
    ++starts;
    return true;
  }

  bool running = true;
  bool ending = false;  // the program has begun to end: the timer stays stopped
  int stops = 0;
  int starts = 0;
};

class FakePlayerLauncher final : public PlayerLauncher {
 public:
  void StartPlayer() override {
    ++starts;
    if (on_start) on_start();
  }

  int starts = 0;
  std::function<void()> on_start;  // e.g. make the player window appear
};

}  // namespace pelorin::testing
