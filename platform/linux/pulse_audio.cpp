#include "platform/linux/pulse_audio.h"

#include <pulse/introspect.h>
#include <pulse/proplist.h>
#include <pulse/volume.h>

#include <algorithm>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "platform/linux/pulse_connection.h"
#include "platform/linux/pulse_library.h"
#include "platform/nearest_whole.h"

namespace pelorin::linux_os {
namespace {

constexpr double kFullLevel = 65535.0;

std::uint16_t LevelOf(pa_volume_t volume) {
  const auto level = static_cast<double>(
      NearestWhole(static_cast<double>(volume) * kFullLevel / PA_VOLUME_NORM));
  return static_cast<std::uint16_t>(std::min(level, kFullLevel));
}

pa_volume_t VolumeOf(std::uint16_t level) {
  return static_cast<pa_volume_t>(NearestWhole(level * (PA_VOLUME_NORM / kFullLevel)));
}

// The channel volumes of a sink or a stream, with the position of each.
struct Channels {
  pa_cvolume volume;
  pa_channel_map map;
};

// Where the front left and right channels are. A map need not start with
// them (a surround map may put the centre first); without them the first
// two channels stand in, and a single channel is both.
std::pair<unsigned, unsigned> FrontPair(const Channels& channels) {
  std::optional<unsigned> left;
  std::optional<unsigned> right;
  for (unsigned channel = 0; channel < channels.map.channels; ++channel) {
    if (channels.map.map[channel] == PA_CHANNEL_POSITION_FRONT_LEFT) left = channel;
    if (channels.map.map[channel] == PA_CHANNEL_POSITION_FRONT_RIGHT) right = channel;
  }
  if (left && right) return {*left, *right};
  return {0U, channels.volume.channels > 1 ? 1U : 0U};
}

// A channel that is to stay at the level it reads keeps its volume exactly,
// amplification above 100 % included; the steps never see beyond 65535.
pa_volume_t Moved(pa_volume_t old, std::uint16_t level) {
  return LevelOf(old) == level ? old : VolumeOf(level);
}

// A channel beyond the front pair (centre, rear, bass) moves in proportion
// to the louder front channel; from silence it moves by the same amount, as
// equal channels do.
pa_volume_t FollowTheFront(pa_volume_t channel, pa_volume_t old_louder, pa_volume_t new_louder) {
  const double moved = old_louder > 0 ? static_cast<double>(channel) * new_louder / old_louder
                                      : static_cast<double>(channel) + new_louder - old_louder;
  return static_cast<pa_volume_t>(NearestWhole(std::clamp(moved, 0.0, double{PA_VOLUME_MAX})));
}

pa_cvolume Rebalanced(const Channels& old, StereoLevel level) {
  const auto [left, right] = FrontPair(old);
  pa_cvolume moved = old.volume;
  if (left == right) {
    moved.values[left] = Moved(old.volume.values[left], std::max(level.left, level.right));
  } else {
    moved.values[left] = Moved(old.volume.values[left], level.left);
    moved.values[right] = Moved(old.volume.values[right], level.right);
  }
  const pa_volume_t old_louder = std::max(old.volume.values[left], old.volume.values[right]);
  const pa_volume_t new_louder = std::max(moved.values[left], moved.values[right]);
  for (unsigned channel = 0; channel < moved.channels; ++channel) {
    if (channel == left || channel == right) continue;
    moved.values[channel] = FollowTheFront(old.volume.values[channel], old_louder, new_louder);
  }
  return moved;
}

// A sink or a stream, known by its index, whose channels are read afresh
// for every call: the user may have moved them in between.
class ChannelVolume : public VolumeControl {
 public:
  ChannelVolume(std::shared_ptr<PulseConnection> connection, std::uint32_t index)
      : connection_(std::move(connection)), index_(index) {}

  std::optional<StereoLevel> Levels() override {
    const std::optional<Channels> channels = Read();
    if (!channels) return std::nullopt;
    const auto [left, right] = FrontPair(*channels);
    return StereoLevel{LevelOf(channels->volume.values[left]),
                       LevelOf(channels->volume.values[right])};
  }

  void SetLevels(StereoLevel level) override {
    const std::optional<Channels> old = Read();
    if (!old) return;
    const pa_cvolume moved = Rebalanced(*old, level);
    if (Pulse().pa_cvolume_equal(&moved, &old->volume) != 0) return;
    // A refused write leaves the volume as it was; that is not reported.
    (void)connection_->Complete(Write(moved), PulseAudio::kAnswerLimit);
  }

 protected:
  // The request that reads the channels into `found`, and the one that
  // writes them; null when the request could not be made.
  virtual pa_operation* RequestRead(std::optional<Channels>* found) = 0;
  virtual pa_operation* Write(const pa_cvolume& volume) = 0;

  pa_context* Context() const { return connection_->Context(); }
  std::uint32_t Index() const { return index_; }

 private:
  std::optional<Channels> Read() {
    std::optional<Channels> found;
    if (!connection_->Complete(RequestRead(&found), PulseAudio::kAnswerLimit)) return std::nullopt;
    return found;
  }

  std::shared_ptr<PulseConnection> connection_;
  std::uint32_t index_;
};

class SinkVolume final : public ChannelVolume {
 public:
  using ChannelVolume::ChannelVolume;

 private:
  pa_operation* RequestRead(std::optional<Channels>* found) override {
    return Pulse().pa_context_get_sink_info_by_index(
        Context(), Index(),
        [](pa_context*, const pa_sink_info* info, int end, void* found) {
          if (end == 0 && info != nullptr) {
            *static_cast<std::optional<Channels>*>(found) =
                Channels{info->volume, info->channel_map};
          }
        },
        found);
  }
  pa_operation* Write(const pa_cvolume& volume) override {
    return Pulse().pa_context_set_sink_volume_by_index(Context(), Index(), &volume, nullptr,
                                                       nullptr);
  }
};

class StreamVolume final : public ChannelVolume {
 public:
  using ChannelVolume::ChannelVolume;

 private:
  pa_operation* RequestRead(std::optional<Channels>* found) override {
    return Pulse().pa_context_get_sink_input_info(
        Context(), Index(),
        [](pa_context*, const pa_sink_input_info* info, int end, void* found) {
          if (end == 0 && info != nullptr && info->has_volume != 0) {
            *static_cast<std::optional<Channels>*>(found) =
                Channels{info->volume, info->channel_map};
          }
        },
        found);
  }
  pa_operation* Write(const pa_cvolume& volume) override {
    return Pulse().pa_context_set_sink_input_volume(Context(), Index(), &volume, nullptr, nullptr);
  }
};

// The index of the default sink; nullopt when there is none.
std::optional<std::uint32_t> DefaultSink(PulseConnection& connection) {
  std::optional<std::uint32_t> index;
  // The server resolves the name to its default sink at this moment.
  pa_operation* request = Pulse().pa_context_get_sink_info_by_name(
      connection.Context(), "@DEFAULT_SINK@",
      [](pa_context*, const pa_sink_info* info, int end, void* index) {
        if (end == 0 && info != nullptr) {
          *static_cast<std::optional<std::uint32_t>*>(index) = info->index;
        }
      },
      &index);
  if (!connection.Complete(request, PulseAudio::kAnswerLimit)) return std::nullopt;
  return index;
}

// The streams of one process whose volume can be set: the first playing
// one, and the first paused one.
struct StreamsOfProcess {
  std::string process;
  std::optional<std::uint32_t> playing;
  std::optional<std::uint32_t> paused;
};

void NoteStream(pa_context* /*context*/, const pa_sink_input_info* info, int end, void* data) {
  auto& streams = *static_cast<StreamsOfProcess*>(data);
  if (end != 0 || info == nullptr || info->has_volume == 0 || info->volume_writable == 0) return;
  const char* owner = Pulse().pa_proplist_gets(info->proplist, PA_PROP_APPLICATION_PROCESS_ID);
  if (owner == nullptr || std::string_view(owner) != streams.process) return;
  std::optional<std::uint32_t>& slot = info->corked != 0 ? streams.paused : streams.playing;
  if (!slot) slot = info->index;
}

}  // namespace

PulseAudio::PulseAudio(TraceSink& notices) : notices_(notices) {}

PulseAudio::~PulseAudio() = default;

std::shared_ptr<PulseConnection> PulseAudio::Connection() {
  if (connection_ && connection_->Usable()) return connection_;
  connection_.reset();
  std::string why;
  std::unique_ptr<PulseConnection> made = PulseConnection::Open(kAnswerLimit, why);
  if (!made) {
    if (!told_unreachable_) {
      const std::string line =
          "The volume commands do nothing: no PulseAudio server (" + why + ").";
      notices_.WriteLine(line);
      Trace(line);
      told_unreachable_ = true;
    }
    return nullptr;
  }
  told_unreachable_ = false;
  connection_ = std::move(made);
  return connection_;
}

std::unique_ptr<VolumeControl> PulseAudio::OpenDeviceVolume() {
  std::shared_ptr<PulseConnection> connection = Connection();
  if (!connection) return nullptr;
  const std::optional<std::uint32_t> sink = DefaultSink(*connection);
  if (!sink) return nullptr;
  return std::make_unique<SinkVolume>(std::move(connection), *sink);
}

std::unique_ptr<VolumeControl> PulseAudio::OpenProgramVolume(WindowId window) {
  if (window == kNoWindow || window > static_cast<WindowId>(INT32_MAX)) return nullptr;
  return OpenProcessVolume(static_cast<pid_t>(window));
}

std::unique_ptr<VolumeControl> PulseAudio::OpenProcessVolume(pid_t process) {
  if (process <= 0) return nullptr;
  std::shared_ptr<PulseConnection> connection = Connection();
  if (!connection) return nullptr;
  StreamsOfProcess streams{std::to_string(process), std::nullopt, std::nullopt};
  if (!connection->Complete(
          Pulse().pa_context_get_sink_input_info_list(connection->Context(), NoteStream, &streams),
          kAnswerLimit)) {
    return nullptr;
  }
  const std::optional<std::uint32_t> stream = streams.playing ? streams.playing : streams.paused;
  if (!stream) return nullptr;
  return std::make_unique<StreamVolume>(std::move(connection), *stream);
}

}  // namespace pelorin::linux_os
