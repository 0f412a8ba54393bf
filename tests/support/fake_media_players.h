#pragma once
#include <algorithm>
#include <array>
#include <memory>
#include <string>
#include <vector>

#include "platform/media_player.h"

namespace pelorin::testing {

// One media player held in memory. Its requests act on its state as a real
// player's would, and each call that changes something is recorded as a
// line ("Send Play", "GoTo t3", "Seek -5000000", "SetVolume", "SetShuffle 1",
// "SetLoopStatus Playlist").
struct FakePlayerState {
  std::string name = "org.mpris.MediaPlayer2.fake";
  MediaPlayback playback = MediaPlayback::Playing;
  double volume = 0.5;
  bool shuffle = false;
  std::string loop = "None";
  std::vector<std::string> tracks;  // ids
  std::vector<std::string> urls;    // one per track
  std::string current;              // id of the current track
  std::vector<std::string> calls;
};

class FakeMediaPlayer final : public MediaPlayer {
 public:
  explicit FakeMediaPlayer(FakePlayerState& state) : s_(state) {}

  const std::string& Name() const override { return s_.name; }
  OsStatus Send(MediaRequest request) override {
    static constexpr std::array<const char*, 8> kNames = {"PlayPause", "Play",     "Pause", "Stop",
                                                          "Next",      "Previous", "Raise", "Quit"};
    return Record(std::string("Send ") + kNames.at(static_cast<std::size_t>(request)));
  }
  OsStatus Seek(std::chrono::microseconds offset) override {
    return Record("Seek " + std::to_string(offset.count()));
  }
  Answer<MediaPlayback> Playback() override { return s_.playback; }
  Answer<double> Volume() override { return s_.volume; }
  OsStatus SetVolume(double volume) override {
    s_.volume = std::clamp(volume, 0.0, 1.0);
    return Record("SetVolume");
  }
  Answer<MediaTrack> CurrentTrack() override { return MediaTrack{"", s_.current}; }
  Answer<bool> Shuffle() override { return s_.shuffle; }
  OsStatus SetShuffle(bool on) override {
    s_.shuffle = on;
    return Record(std::string("SetShuffle ") + (on ? "1" : "0"));
  }
  Answer<std::string> LoopStatus() override { return s_.loop; }
  OsStatus SetLoopStatus(const std::string& status) override {
    s_.loop = status;
    return Record("SetLoopStatus " + status);
  }
  Answer<std::vector<std::string>> Tracks() override { return s_.tracks; }
  OsStatus GoTo(std::string_view track_id) override {
    s_.current = track_id;
    return Record("GoTo " + s_.current);
  }
  // The fake's ids are its tracks' ids, in order.
  Answer<std::vector<std::string>> TrackUrls(const std::vector<std::string>&) override {
    return s_.urls;
  }
  Answer<int> ProcessId() override { return 4242; }

 private:
  OsStatus Record(std::string call) {
    s_.calls.push_back(std::move(call));
    return {};
  }
  FakePlayerState& s_;
};

// Finds the one fake player while it runs; records the pinned name asked for.
class FakeMediaPlayers final : public MediaPlayers {
 public:
  FakePlayerState state;
  bool running = true;
  std::vector<std::string> pinned_asked;

  Opened<MediaPlayer> Find(std::string_view pinned) override {
    pinned_asked.emplace_back(pinned);
    if (!running) return NoPlayerError(std::string(pinned));
    return std::make_unique<FakeMediaPlayer>(state);
  }
};

}  // namespace pelorin::testing
