#pragma once
#include <memory>
#include <string>
#include <vector>

#include "platform/media_player.h"

namespace pelorin::testing {

// One media player held in memory, found through FakeMediaPlayers. Its
// requests act on its state as a real player's would, and each call that
// changes something is recorded as a line ("Send Play", "GoTo t3",
// "Seek -5000000", "SetVolume", "SetShuffle 1", "SetLoopStatus Playlist").
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

class FakeMediaPlayers final : public MediaPlayers {
 public:
  FakePlayerState state;
  bool running = true;
  std::vector<std::string> pinned_asked;  // the pinned name of every Find

  Opened<MediaPlayer> Find(std::string_view pinned) override;
};

}  // namespace pelorin::testing
