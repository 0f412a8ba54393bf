// The volume backend against a real PulseAudio server with null sinks
// "stereo", "surround" (centre first) and "mono", which pulse_audio_test.sh
// starts; what the steps did is read back with pactl.
#include "platform/linux/pulse_audio.h"

#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <regex>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "actions/system_volume.h"

namespace pelorin::linux_os {
namespace {

std::string Pactl(const std::string& arguments) {
  std::string output;
  FILE* pipe = ::popen(("pactl " + arguments).c_str(), "r");
  char buffer[512];
  while (pipe != nullptr && std::fgets(buffer, sizeof buffer, pipe) != nullptr) output += buffer;
  EXPECT_TRUE(pipe != nullptr && ::pclose(pipe) == 0) << "pactl " << arguments;
  return output;
}

// The raw channel volumes, in channel order, of the first "Volume:" line
// that pactl prints: a sink's, or the first stream's; empty without one.
std::vector<long> Volumes(const std::string& arguments) {
  const std::string output = Pactl(arguments);
  const std::size_t at = output.find("Volume:");
  const std::string line =
      at == std::string::npos ? "" : output.substr(at, output.find('\n', at) - at);
  std::vector<long> volumes;
  static const std::regex kChannel(R"(: (\d+) /)");
  for (std::sregex_iterator it(line.begin(), line.end(), kChannel), end; it != end; ++it) {
    volumes.push_back(std::stol((*it)[1]));
  }
  return volumes;
}

class PulseAudioTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (std::getenv("PELORIN_PULSE_TEST") == nullptr) GTEST_SKIP() << "run by pulse_audio_test.sh";
  }
  PulseAudio audio_;
  SystemVolume volume_{audio_};
};

TEST_F(PulseAudioTest, MasterStepsMoveTheDefaultSinkKeepingItsBalance) {
  struct Row {
    const char* sink;
    const char* start;
    std::int16_t step;
    std::vector<long> expected;  // raw volumes, 65536 = 100 %
  };
  const Row rows[] = {
      {"stereo", "30000 45000", 2048, {31365, 47048}},
      // Front left and right found by position; the others follow the
      // louder front channel in proportion.
      {"surround", "30000 20000 40000 0 40000 10000", -4096, {26928, 17952, 35904, 0, 35904, 8976}},
      {"mono", "30000", 2048, {32048}},
      // Amplified beyond 100 %: a step up has nothing to add and must not
      // pull the volume down to 100 %.
      {"stereo", "80000 80000", 2048, {80000, 80000}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(std::string(row.sink) + " " + row.start);
    Pactl(std::string("set-default-sink ") + row.sink);
    Pactl(std::string("set-sink-volume ") + row.sink + " " + row.start);
    volume_.StepMaster(row.step);
    const std::vector<long> now = Volumes(std::string("get-sink-volume ") + row.sink);
    ASSERT_EQ(now.size(), row.expected.size());
    for (std::size_t channel = 0; channel < now.size(); ++channel) {
      EXPECT_NEAR(now[channel], row.expected[channel], 1) << "channel " << channel;
    }
  }
}

TEST_F(PulseAudioTest, WaveStepsMoveThePlayersOwnStreamElseTheDefaultSink) {
  Pactl("set-default-sink stereo");
  Pactl("set-sink-volume stereo 50000 50000");
  pid_t player = 0;
  const char* arguments[] = {"pacat", "--device=stereo", "--volume=30000", "/dev/zero", nullptr};
  ASSERT_EQ(::posix_spawnp(&player, "pacat", nullptr, nullptr, const_cast<char* const*>(arguments),
                           environ),
            0);
  const std::unique_ptr<pid_t, void (*)(pid_t*)> ender(&player, [](pid_t* pid) {
    ::kill(*pid, SIGTERM);
    ::waitpid(*pid, nullptr, 0);
  });
  for (int tries = 0; tries < 100 && Volumes("list sink-inputs").empty(); ++tries) {
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  volume_.StepWave(2048, static_cast<WindowId>(player));
  EXPECT_EQ(Volumes("list sink-inputs"), (std::vector<long>{32048, 32048}));
  EXPECT_EQ(Volumes("get-sink-volume stereo"), (std::vector<long>{50000, 50000}));

  // This test program plays nothing: its step goes to the default sink.
  volume_.StepWave(2048, static_cast<WindowId>(::getpid()));
  EXPECT_EQ(Volumes("list sink-inputs"), (std::vector<long>{32048, 32048}));
  EXPECT_EQ(Volumes("get-sink-volume stereo"), (std::vector<long>{52048, 52048}));
}

TEST_F(PulseAudioTest, AServerThatHangsCostsTheStepNotTheProgram) {
  std::ifstream pid_file(std::string(std::getenv("XDG_RUNTIME_DIR")) + "/pulse/pid");
  pid_t server = 0;
  ASSERT_TRUE(pid_file >> server);
  std::unique_ptr<VolumeControl> open = audio_.OpenDeviceVolume();
  ASSERT_NE(open, nullptr);
  {
    ASSERT_EQ(::kill(server, SIGSTOP), 0);
    struct Resumer {
      pid_t pid;
      ~Resumer() { ::kill(pid, SIGCONT); }
    } resumer{server};
    EXPECT_EQ(open->Levels(), std::nullopt);
    EXPECT_EQ(audio_.OpenDeviceVolume(), nullptr);
  }
  // Back again: the next step connects afresh.
  open = audio_.OpenDeviceVolume();
  ASSERT_NE(open, nullptr);
  EXPECT_NE(open->Levels(), std::nullopt);
}

TEST(PulseAudioWithoutServer, VolumesAreMissingAndTheReasonIsToldOnce) {
  struct Lines final : TraceSink {
    void WriteLine(std::string_view line) override { lines.emplace_back(line); }
    std::vector<std::string> lines;
  } notices;
  // The script's session names no server; the default socket is the real one.
  ::setenv("PULSE_SERVER", "unix:/nonexistent/pelorin/native", 1);
  PulseAudio audio(notices);
  EXPECT_EQ(audio.OpenDeviceVolume(), nullptr);
  EXPECT_EQ(audio.OpenProgramVolume(static_cast<WindowId>(::getpid())), nullptr);
  EXPECT_EQ(audio.OpenDeviceVolume(), nullptr);
  ::unsetenv("PULSE_SERVER");
  ASSERT_EQ(notices.lines.size(), 1U);
  EXPECT_NE(notices.lines[0].find("no PulseAudio server"), std::string::npos) << notices.lines[0];
}

}  // namespace
}  // namespace pelorin::linux_os
