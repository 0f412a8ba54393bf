// The MPRIS client against a real VLC on a private session bus; run by
// tests/linux/with-vlc.sh, first with no player on the bus, then with VLC
// playing three tones (a.wav, b.wav, c.wav).
#include <gtest/gtest.h>
#include <signal.h>
#include <systemd/sd-bus.h>

#include <chrono>
#include <fstream>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "platform/linux/event_loop.h"
#include "platform/linux/mpris_client.h"

namespace pelorin::dbus {
namespace {

using namespace std::chrono_literals;
constexpr auto kTimeLimit = 1000ms;

// Asks `probe` again until it holds or `limit` has passed.
bool Eventually(const std::function<bool()>& probe, std::chrono::milliseconds limit) {
  const auto deadline = std::chrono::steady_clock::now() + limit;
  while (!probe()) {
    if (std::chrono::steady_clock::now() > deadline) return false;
    std::this_thread::sleep_for(50ms);
  }
  return true;
}

std::string Url(MediaPlayer& player) {
  auto track = player.CurrentTrack();
  return track ? track->url : std::string();
}

TEST(PlayerNames, KeepsPlayersOnlyAndMatchesThePinnedNameAsAWhole) {
  const std::vector<std::string> bus{":1.7",
                                     "org.freedesktop.Notifications",
                                     "org.mpris.MediaPlayer2.vlc",
                                     "org.mpris.MediaPlayer2.playerctld",
                                     "org.mpris.MediaPlayer2.",
                                     "org.mpris.MediaPlayer2.vlcx",
                                     "org.mpris.MediaPlayer2.mpv.instance42",
                                     "org.mpris.MediaPlayer2.audacious"};
  const struct {
    std::string_view pinned;
    std::vector<std::string> expected;
  } cases[] = {
      {"",
       {"org.mpris.MediaPlayer2.audacious", "org.mpris.MediaPlayer2.mpv.instance42",
        "org.mpris.MediaPlayer2.vlc", "org.mpris.MediaPlayer2.vlcx"}},
      {"vlc", {"org.mpris.MediaPlayer2.vlc"}},
      {"mpv", {"org.mpris.MediaPlayer2.mpv.instance42"}},
      {"mpv.instance42", {"org.mpris.MediaPlayer2.mpv.instance42"}},
      {"vl", {}},
      {"playerctld", {}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(PlayerNames(bus, c.pinned), c.expected) << "pinned \"" << c.pinned << "\"";
  }
}

TEST(MprisWithoutPlayer, FindAnswersNoPlayerAtOnce) {
  MprisPlayers players(kTimeLimit);
  for (const std::string_view pinned : {"", "vlc"}) {
    auto found = players.Find(pinned);
    ASSERT_FALSE(found);
    EXPECT_TRUE(IsNoPlayer(found.error())) << Describe(found.error());
  }
}

// The names are listed again only when the bus says one changed owner: a
// player that comes or goes after a find is still seen at the next ones,
// whether the finds read the bus themselves or a loop reads it as messages
// arrive (then a find only reads what a call left queued).
TEST(MprisWithoutPlayer, PlayersThatComeAndGoAreSeen) {
  for (const bool loop_reads_bus : {false, true}) {
    SCOPED_TRACE(loop_reads_bus ? "the loop reads the bus" : "each find reads the bus");
    linux_os::EventLoop loop;
    auto turn = linux_os::TimerFd::Create();
    ASSERT_TRUE(turn);
    loop.Watch(turn->Fd(), [&] {
      turn->TakeExpirations();
      loop.Stop();
    });
    // Runs the loop for a moment, as the program's loop runs between cycles.
    const auto run_loop_briefly = [&] {
      ASSERT_TRUE(turn->Arm(20ms, false));
      ASSERT_TRUE(loop.Run());
    };
    MprisPlayers players(kTimeLimit);
    if (loop_reads_bus) players.ReadBusOn(&loop);
    ASSERT_FALSE(players.Find(""));
    sd_bus* other = nullptr;
    ASSERT_GE(sd_bus_open_user(&other), 0);
    constexpr const char* kName = "org.mpris.MediaPlayer2.appearing";
    ASSERT_GE(sd_bus_request_name(other, kName, 0), 0);
    const auto found = [&] {
      run_loop_briefly();
      auto player = players.Find("");
      return player && player->Name() == kName;
    };
    EXPECT_TRUE(Eventually(found, 2000ms));
    // Handed back the player it answered, it answers that same one.
    auto first = players.Find("");
    ASSERT_TRUE(first);
    const MediaPlayer* opened = &*first;
    auto again = players.FindAgain("", first.Release());
    ASSERT_TRUE(again);
    EXPECT_EQ(&*again, opened);
    ASSERT_GE(sd_bus_release_name(other, kName), 0);
    EXPECT_TRUE(Eventually(
        [&] {
          run_loop_briefly();
          return !players.Find("");
        },
        2000ms));
    sd_bus_flush_close_unref(other);
    players.ReadBusOn(nullptr);
  }
}

TEST(MprisWithVlc, DrivesThePlayerAndAnswersNoPlayerOnceItQuits) {
  MprisPlayers players(kTimeLimit);
  std::unique_ptr<MediaPlayer> player;
  ASSERT_TRUE(Eventually(
      [&] {
        auto found = players.Find("vlc");
        if (found) player = found.Release();
        return player != nullptr;
      },
      10s));
  EXPECT_EQ(player->Name(), "org.mpris.MediaPlayer2.vlc");
  // VLC also takes a second name (".instance<pid>"). Once it plays, both
  // answer "Playing" and the first in order is chosen; while it starts, the
  // two may answer either way.
  ASSERT_TRUE(Eventually(
      [&] { return player->Playback() && *player->Playback() == MediaPlayback::Playing; }, 5s));
  auto unpinned = players.Find("");
  ASSERT_TRUE(unpinned);
  EXPECT_EQ(unpinned->Name(), player->Name());

  // The process id is the player's own, as the volume backend needs it.
  auto pid = player->ProcessId();
  ASSERT_TRUE(pid) << Describe(pid.error());
  std::string command;
  std::ifstream("/proc/" + std::to_string(*pid) + "/comm") >> command;
  EXPECT_EQ(command, "vlc");

  ASSERT_TRUE(Eventually([&] { return Url(*player).ends_with("a.wav"); }, 5s)) << Url(*player);
  ASSERT_TRUE(player->Send(MediaRequest::Next));
  EXPECT_TRUE(Eventually([&] { return Url(*player).ends_with("b.wav"); }, 2s)) << Url(*player);

  ASSERT_TRUE(Eventually(
      [&] { return player->Playback() && *player->Playback() == MediaPlayback::Playing; }, 2s));
  ASSERT_TRUE(player->Send(MediaRequest::PlayPause));
  EXPECT_TRUE(Eventually(
      [&] { return player->Playback() && *player->Playback() == MediaPlayback::Paused; }, 2s));

  // Written volumes read back; one above full is brought to full first.
  for (const auto& [written, read] : {std::pair{0.25, 0.25}, {1.7, 1.0}, {0.5, 0.5}}) {
    ASSERT_TRUE(player->SetVolume(written));
    EXPECT_TRUE(Eventually(
        [&] {
          auto volume = player->Volume();
          return volume && std::abs(*volume - read) < 0.01;
        },
        2s))
        << "written " << written;
  }

  auto tracks = player->Tracks();
  ASSERT_TRUE(tracks) << Describe(tracks.error());
  ASSERT_EQ(tracks->size(), 3u);
  ASSERT_TRUE(player->GoTo(tracks->back()));
  EXPECT_TRUE(Eventually([&] { return Url(*player).ends_with("c.wav"); }, 2s)) << Url(*player);
  auto urls = player->TrackUrls(*tracks);
  ASSERT_TRUE(urls) << Describe(urls.error());
  ASSERT_EQ(urls->size(), 3u);
  EXPECT_TRUE((*urls)[0].ends_with("a.wav") && (*urls)[2].ends_with("c.wav")) << (*urls)[0];

  // Shuffle and repeat are written and read back.
  for (const bool on : {true, false}) {
    ASSERT_TRUE(player->SetShuffle(on));
    EXPECT_TRUE(Eventually([&] { return player->Shuffle() && *player->Shuffle() == on; }, 2s));
  }
  for (const char* loop : {"Playlist", "None"}) {
    ASSERT_TRUE(player->SetLoopStatus(loop));
    EXPECT_TRUE(
        Eventually([&] { return player->LoopStatus() && *player->LoopStatus() == loop; }, 2s));
  }

  ASSERT_EQ(::kill(*pid, SIGTERM), 0);
  ASSERT_TRUE(Eventually([&] { return !players.Find(""); }, 10s));
  const std::vector<std::pair<const char*, std::function<OsError()>>> calls = {
      {"Send", [&] { return player->Send(MediaRequest::Next).error(); }},
      {"Seek", [&] { return player->Seek(5s).error(); }},
      {"Playback", [&] { return player->Playback().error(); }},
      {"Volume", [&] { return player->Volume().error(); }},
      {"SetVolume", [&] { return player->SetVolume(0.5).error(); }},
      {"CurrentTrack", [&] { return player->CurrentTrack().error(); }},
      {"Tracks", [&] { return player->Tracks().error(); }},
      {"TrackUrls", [&] { return player->TrackUrls(*tracks).error(); }},
      {"Shuffle", [&] { return player->Shuffle().error(); }},
      {"GoTo", [&] { return player->GoTo(tracks->front()).error(); }},
      {"ProcessId", [&] { return player->ProcessId().error(); }},
  };
  for (const auto& [name, call] : calls) {
    const OsError error = call();
    EXPECT_TRUE(IsNoPlayer(error)) << name << ": " << Describe(error);
  }
}

}  // namespace
}  // namespace pelorin::dbus
