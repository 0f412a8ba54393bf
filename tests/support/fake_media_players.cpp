#include "support/fake_media_players.h"

#include <algorithm>

namespace pelorin::testing {
namespace {

const char* RequestName(MediaRequest request) {
  switch (request) {
    case MediaRequest::PlayPause:
      return "PlayPause";
    case MediaRequest::Play:
      return "Play";
    case MediaRequest::Pause:
      return "Pause";
    case MediaRequest::Stop:
      return "Stop";
    case MediaRequest::Next:
      return "Next";
    case MediaRequest::Previous:
      return "Previous";
    case MediaRequest::Raise:
      return "Raise";
    case MediaRequest::Quit:
      return "Quit";
  }
  return "?";
}

class FakePlayer final : public MediaPlayer {
 public:
  explicit FakePlayer(FakePlayerState& state) : s_(state) {}

  const std::string& Name() const override { return s_.name; }
  OsStatus Send(MediaRequest request) override {
    s_.calls.push_back(std::string("Send ") + RequestName(request));
    return {};
  }
  OsStatus Seek(std::chrono::microseconds offset) override {
    s_.calls.push_back("Seek " + std::to_string(offset.count()));
    return {};
  }
  Answer<MediaPlayback> Playback() override { return s_.playback; }
  Answer<double> Volume() override { return s_.volume; }
  OsStatus SetVolume(double volume) override {
    s_.calls.emplace_back("SetVolume");
    s_.volume = std::clamp(volume, 0.0, 1.0);
    return {};
  }
  Answer<MediaTrack> CurrentTrack() override { return MediaTrack{"", s_.current}; }
  Answer<bool> Shuffle() override { return s_.shuffle; }
  OsStatus SetShuffle(bool on) override {
    s_.calls.push_back(std::string("SetShuffle ") + (on ? "1" : "0"));
    s_.shuffle = on;
    return {};
  }
  Answer<std::string> LoopStatus() override { return s_.loop; }
  OsStatus SetLoopStatus(const std::string& status) override {
    s_.calls.push_back("SetLoopStatus " + status);
    s_.loop = status;
    return {};
  }
  Answer<std::vector<std::string>> Tracks() override { return s_.tracks; }
  OsStatus GoTo(std::string_view track_id) override {
    s_.calls.push_back("GoTo " + std::string(track_id));
    s_.current = track_id;
    return {};
  }
  Answer<std::vector<std::string>> TrackUrls(const std::vector<std::string>& ids) override {
    std::vector<std::string> urls;
    for (const std::string& id : ids) {
      auto at = std::find(s_.tracks.begin(), s_.tracks.end(), id);
      urls.push_back(at == s_.tracks.end() ? "" : s_.urls[at - s_.tracks.begin()]);
    }
    return urls;
  }
  Answer<int> ProcessId() override { return 4242; }

 private:
  FakePlayerState& s_;
};

}  // namespace

Opened<MediaPlayer> FakeMediaPlayers::Find(std::string_view pinned) {
  pinned_asked.emplace_back(pinned);
  if (!running) return NoPlayerError(std::string(pinned));
  return std::make_unique<FakePlayer>(state);
}

}  // namespace pelorin::testing
