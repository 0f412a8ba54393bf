#pragma once
#include <chrono>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/media_player.h"

namespace pelorin::dbus {

class Bus;

}  // namespace pelorin::dbus

namespace pelorin::linux_os {
class DescriptorWatch;
}

namespace pelorin::dbus {

// Every media player that follows the desktop's common remote-control
// interface (MPRIS) takes a bus name that starts with this.
inline constexpr std::string_view kPlayerNamePrefix = "org.mpris.MediaPlayer2.";
// A go-between that passes requests on to another player; choosing it
// would count that player twice.
inline constexpr std::string_view kPlayerProxyName = "org.mpris.MediaPlayer2.playerctld";

// The players among `bus_names`, sorted by name: the names with the player
// prefix, without the go-between, and when `pinned` is not empty only
// those whose part after the prefix is `pinned` or starts with `pinned`
// and a dot (a player running more than once adds ".instance<pid>").
std::vector<std::string> PlayerNames(const std::vector<std::string>& bus_names,
                                     std::string_view pinned);

// The players on the user's session bus. The bus is opened at the first
// Find() and again after the connection broke; a bus that cannot be
// reached means no player. Used from one thread.
class MprisPlayers final : public MediaPlayers {
 public:
  // Every call to the bus and to a player found waits at most `time_limit`.
  explicit MprisPlayers(std::chrono::milliseconds time_limit);
  ~MprisPlayers() override;
  MprisPlayers(const MprisPlayers&) = delete;
  MprisPlayers& operator=(const MprisPlayers&) = delete;

  Opened<MediaPlayer> Find(std::string_view pinned) override;
  Opened<MediaPlayer> FindAgain(std::string_view pinned,
                                std::unique_ptr<MediaPlayer> previous) override;

  // Has `watch`'s loop read the bus as messages arrive (see
  // Bus::ReadInputOn), this bus and any opened later; nullptr stops it,
  // which must happen before the loop goes away.
  void ReadBusOn(linux_os::DescriptorWatch* watch);

 private:
  // The open bus, or why there is none.
  OsStatus EnsureBus();
  // Brings names_ up to date with the bus.
  OsStatus RefreshNames();
  // One of `names`, or last_playing_.
  const std::string& ChooseAmong(const std::vector<std::string>& names);

  std::chrono::milliseconds time_limit_;
  linux_os::DescriptorWatch* bus_watch_ = nullptr;
  // Shared with the players found, which stay usable while it is replaced.
  std::shared_ptr<Bus> bus_;
  // The player last seen playing, chosen again while none plays.
  std::string last_playing_;
  // The names on the bus as last listed. Listed again only when a player's
  // name changed owner (the bus tells), so a cycle with no change costs no
  // call; listed every time when the bus would not tell.
  std::vector<std::string> names_;
  bool names_current_ = false;
  bool names_followed_ = false;
  // The players among names_ for players_pinned_, sorted.
  std::vector<std::string> players_;
  std::string players_pinned_;
  bool players_current_ = false;
};

}  // namespace pelorin::dbus
