#include "platform/linux/mpris_client.h"

#include <algorithm>
#include <cerrno>
#include <map>
#include <utility>

#include "platform/linux/bus.h"
#include "platform/posix/system_error.h"

namespace pelorin::dbus {

namespace {

constexpr const char* kObjectPath = "/org/mpris/MediaPlayer2";
constexpr const char* kRootInterface = "org.mpris.MediaPlayer2";
constexpr const char* kPlayerInterface = "org.mpris.MediaPlayer2.Player";
constexpr const char* kTrackListInterface = "org.mpris.MediaPlayer2.TrackList";

constexpr std::string_view kRead = "read player property";

struct RequestMember {
  MediaRequest request;
  const char* interface;
  const char* member;
};

constexpr RequestMember kRequestMembers[] = {
    {MediaRequest::PlayPause, kPlayerInterface, "PlayPause"},
    {MediaRequest::Play, kPlayerInterface, "Play"},
    {MediaRequest::Pause, kPlayerInterface, "Pause"},
    {MediaRequest::Stop, kPlayerInterface, "Stop"},
    {MediaRequest::Next, kPlayerInterface, "Next"},
    {MediaRequest::Previous, kPlayerInterface, "Previous"},
    {MediaRequest::Raise, kRootInterface, "Raise"},
    {MediaRequest::Quit, kRootInterface, "Quit"},
};

OsError WrongShape(const std::string& player, std::string_view property, std::string text) {
  OsError error = posix::SystemError(EBADMSG, kRead, player + " " + std::string(property));
  error.text = std::move(text);
  return error;
}

// One player on the bus, addressed by its bus name at every call.
class MprisPlayer final : public MediaPlayer {
 public:
  MprisPlayer(std::shared_ptr<Bus> bus, std::string name)
      : bus_(std::move(bus)), name_(std::move(name)) {}

  const std::string& Name() const override { return name_; }
  bool IsOn(const Bus& bus) const { return bus_.get() == &bus; }

  OsStatus Send(MediaRequest request) override {
    const auto* entry = std::find_if(std::begin(kRequestMembers), std::end(kRequestMembers),
                                     [&](const RequestMember& e) { return e.request == request; });
    return Checked(bus_->Call(At(entry->interface), entry->member));
  }

  OsStatus Seek(std::chrono::microseconds offset) override {
    return Checked(
        bus_->Call(At(kPlayerInterface), "Seek", {static_cast<std::int64_t>(offset.count())}));
  }

  Answer<MediaPlayback> Playback() override {
    auto value = Read(kPlayerInterface, "PlaybackStatus");
    if (!value) return value.error();
    const auto* status = std::get_if<std::string>(&*value);
    if (status != nullptr && *status == "Playing") return MediaPlayback::Playing;
    if (status != nullptr && *status == "Paused") return MediaPlayback::Paused;
    if (status != nullptr && *status == "Stopped") return MediaPlayback::Stopped;
    return WrongShape(name_, "PlaybackStatus", "not Playing, Paused or Stopped");
  }

  Answer<double> Volume() override {
    auto value = Read(kPlayerInterface, "Volume");
    if (!value) return value.error();
    if (const auto* volume = std::get_if<double>(&*value)) return *volume;
    return WrongShape(name_, "Volume", "not a number");
  }

  OsStatus SetVolume(double volume) override {
    return Checked(bus_->Set(At(kPlayerInterface), "Volume", std::clamp(volume, 0.0, 1.0)));
  }

  Answer<MediaTrack> CurrentTrack() override {
    auto value = Read(kPlayerInterface, "Metadata");
    if (!value) return value.error();
    const auto* entries = std::get_if<StringMap>(&*value);
    if (entries == nullptr) return WrongShape(name_, "Metadata", "not a dictionary");
    MediaTrack track;
    if (auto url = entries->find("xesam:url"); url != entries->end()) track.url = url->second;
    if (auto id = entries->find("mpris:trackid"); id != entries->end()) track.id = id->second;
    return track;
  }

  Answer<bool> Shuffle() override {
    auto value = Read(kPlayerInterface, "Shuffle");
    if (!value) return value.error();
    if (const auto* on = std::get_if<bool>(&*value)) return *on;
    return WrongShape(name_, "Shuffle", "not a truth value");
  }

  OsStatus SetShuffle(bool on) override {
    return Checked(bus_->Set(At(kPlayerInterface), "Shuffle", on));
  }

  Answer<std::string> LoopStatus() override {
    auto value = Read(kPlayerInterface, "LoopStatus");
    if (!value) return value.error();
    if (const auto* status = std::get_if<std::string>(&*value)) return *status;
    return WrongShape(name_, "LoopStatus", "not a text");
  }

  OsStatus SetLoopStatus(const std::string& status) override {
    return Checked(bus_->Set(At(kPlayerInterface), "LoopStatus", status));
  }

  Answer<std::vector<std::string>> TrackUrls(const std::vector<std::string>& track_ids) override {
    auto maps = bus_->CallForMaps(At(kTrackListInterface), "GetTracksMetadata", track_ids);
    if (!maps) return Translated(maps.error());
    // Matched by id where the player names them: it may leave out tracks
    // it cannot describe, or answer in its own order.
    std::map<std::string, std::string> url_of;
    for (const StringMap& map : *maps) {
      auto id = map.find("mpris:trackid");
      auto url = map.find("xesam:url");
      if (id != map.end() && url != map.end()) url_of[id->second] = url->second;
    }
    std::vector<std::string> urls;
    urls.reserve(track_ids.size());
    for (const std::string& id : track_ids) {
      auto found = url_of.find(id);
      urls.push_back(found == url_of.end() ? std::string() : found->second);
    }
    return urls;
  }

  Answer<std::vector<std::string>> Tracks() override {
    auto value = Read(kTrackListInterface, "Tracks");
    if (!value) return value.error();
    if (const auto* ids = std::get_if<std::vector<std::string>>(&*value)) return *ids;
    return WrongShape(name_, "Tracks", "not a list of track ids");
  }

  OsStatus GoTo(std::string_view track_id) override {
    return Checked(
        bus_->Call(At(kTrackListInterface), "GoTo", {ObjectPath{std::string(track_id)}}));
  }

  Answer<int> ProcessId() override {
    auto pid = bus_->ProcessIdOf(name_);
    if (!pid) return Translated(pid.error());
    return static_cast<int>(*pid);
  }

 private:
  Address At(const char* interface) const { return {name_, kObjectPath, interface}; }

  Answer<Value> Read(const char* interface, std::string_view property) {
    auto value = bus_->Get(At(interface), property);
    if (!value) return Translated(value.error());
    return value;
  }

  // A call to a name nobody owns any more means the player has quit.
  OsError Translated(const OsError& error) const {
    return Bus::IsUnknownName(error) ? NoPlayerError(name_) : error;
  }
  OsStatus Checked(const OsStatus& status) const {
    if (status) return {};
    return Translated(status.error());
  }

  std::shared_ptr<Bus> bus_;
  std::string name_;
};

}  // namespace

std::vector<std::string> PlayerNames(const std::vector<std::string>& bus_names,
                                     std::string_view pinned) {
  std::vector<std::string> players;
  for (const auto& name : bus_names) {
    if (!name.starts_with(kPlayerNamePrefix) || name == kPlayerProxyName) continue;
    const std::string_view rest = std::string_view(name).substr(kPlayerNamePrefix.size());
    if (rest.empty()) continue;
    if (!pinned.empty() &&
        !(rest == pinned || (rest.starts_with(pinned) && rest[pinned.size()] == '.'))) {
      continue;
    }
    players.push_back(name);
  }
  std::sort(players.begin(), players.end());
  return players;
}

MprisPlayers::MprisPlayers(std::chrono::milliseconds time_limit) : time_limit_(time_limit) {}

MprisPlayers::~MprisPlayers() = default;

OsStatus MprisPlayers::EnsureBus() {
  if (bus_ && bus_->IsOpen()) return {};
  // The players found on a broken bus keep it, but no loop reads it.
  if (bus_) bus_->ReadInputOn(nullptr);
  auto opened = Bus::OpenSession(time_limit_);
  if (!opened) {
    bus_.reset();
    return opened.error();
  }
  bus_ = opened.Release();
  // Without the bus's notices every find lists the names again.
  names_current_ = false;
  players_current_ = false;
  names_followed_ = static_cast<bool>(
      bus_->FollowNames(kPlayerNamePrefix.substr(0, kPlayerNamePrefix.size() - 1)));
  bus_->ReadInputOn(bus_watch_);
  return {};
}

void MprisPlayers::ReadBusOn(linux_os::DescriptorWatch* watch) {
  bus_watch_ = watch;
  if (bus_) bus_->ReadInputOn(watch);
}

OsStatus MprisPlayers::RefreshNames() {
  if (names_current_ && !bus_->NamesChanged()) return {};
  players_current_ = false;
  auto names = bus_->ListNames();
  if (!names) {
    names_current_ = false;
    return names.error();
  }
  names_ = std::move(*names);
  names_current_ = names_followed_;
  return {};
}

Opened<MediaPlayer> MprisPlayers::Find(std::string_view pinned) {
  return FindAgain(pinned, nullptr);
}

Opened<MediaPlayer> MprisPlayers::FindAgain(std::string_view pinned,
                                            std::unique_ptr<MediaPlayer> previous) {
  auto sought = [pinned] {
    return std::string(kPlayerNamePrefix) + std::string(pinned.empty() ? "*" : pinned);
  };
  if (auto status = EnsureBus(); !status) {
    return NoPlayerError(sought() + " (" + Describe(status.error()) + ")");
  }
  if (auto listed = RefreshNames(); !listed) {
    return NoPlayerError(sought() + " (" + Describe(listed.error()) + ")");
  }
  // Worked out again only when the names or the pinned player changed: a
  // cycle with a player present asks this 40 times a second.
  if (!players_current_ || players_pinned_ != pinned) {
    players_ = PlayerNames(names_, pinned);
    players_pinned_ = std::string(pinned);
    players_current_ = true;
  }
  if (players_.empty()) return NoPlayerError(sought());
  const std::string& chosen = pinned.empty() ? ChooseAmong(players_) : players_.front();
  // The same player on the same connection: nothing to open.
  if (const auto* same = dynamic_cast<const MprisPlayer*>(previous.get());
      same != nullptr && same->IsOn(*bus_) && same->Name() == chosen) {
    return previous;
  }
  return std::make_unique<MprisPlayer>(bus_, chosen);
}

const std::string& MprisPlayers::ChooseAmong(const std::vector<std::string>& names) {
  if (names.size() == 1) return names.front();
  for (const auto& name : names) {
    MprisPlayer player(bus_, name);
    // A player that does not answer is simply not the one playing.
    if (auto playback = player.Playback(); playback && *playback == MediaPlayback::Playing) {
      last_playing_ = name;
      return name;
    }
  }
  if (std::find(names.begin(), names.end(), last_playing_) != names.end()) return last_playing_;
  return names.front();
}

}  // namespace pelorin::dbus
