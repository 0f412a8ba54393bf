#include "support/player_message_text.h"

#include <map>
#include <tuple>
#include <vector>

#include "actions/command_catalogue.h"
#include "actions/player_channel.h"

namespace pelorin::testing {
namespace {

using MessageKey = std::tuple<Target, std::uint32_t, std::uintptr_t, std::intptr_t>;

// "Volume up" and "Volume down": each of their messages moves the player's
// volume by one step, and the 1/8 commands send eight of the same.
constexpr int kVolumeStepCommands[] = {8, 9};

MessageKey KeyOf(const ExpectedMessage& m) {
  return {m.target, m.message, m.wparam, m.lparam};
}
MessageKey KeyOf(const ReceivedMessage& m) {
  return {m.target, m.message, m.wparam, m.lparam};
}

std::string CommandName(int command) {
  if (command < static_cast<int>(kCommandNames.size())) return std::string(kCommandNames[command]);
  return command == command::kSliderSlide ? std::string(kSliderCommandName) : std::string();
}

// Which commands send nothing but one message, read from the shared table of
// what every command sends, so that the words always follow the
// dispatcher's tested behaviour.
std::map<MessageKey, std::vector<int>> BuildSingleSenders() {
  std::map<MessageKey, std::vector<int>> senders;
  for (const CommandCase& c : PlayerMessageCases()) {
    if (c.messages.size() == 1) senders[KeyOf(c.messages.front())].push_back(c.command);
  }
  return senders;
}

const std::map<MessageKey, std::vector<int>>& SingleSenders() {
  static const auto senders = BuildSingleSenders();
  return senders;
}

// The volume step's command name, or "" when the message is no volume step.
std::string VolumeStepName(const ReceivedMessage& m) {
  const auto it = SingleSenders().find(KeyOf(m));
  if (it == SingleSenders().end()) return {};
  for (int command : it->second) {
    for (int step : kVolumeStepCommands) {
      if (command == step) return CommandName(command);
    }
  }
  return {};
}

// The requests that ask something or help several commands: their own words
// say more than a list of the commands that use them.
std::string DescribeSharedRequest(const ReceivedMessage& m) {
  if (m.target != Target::Player || m.message != kWmUser) return {};
  switch (m.lparam) {
    case kPlayerStatusQuery:
      return "Status query";
    case kPlayerWritePlaylist:
      return "Write playlist file";
    case kPlayerPlaylistPosition:
      return "Playlist position query";
    case kPlayerSelectEntry:
      return "Select playlist entry " + std::to_string(m.wparam);
    default:
      return {};
  }
}

std::string JoinedNames(const std::vector<int>& commands) {
  std::string text;
  for (int command : commands) text += (text.empty() ? "" : " / ") + CommandName(command);
  return text;
}

std::string BareNumbers(const ReceivedMessage& m) {
  const char* window = m.target == Target::Player           ? "player"
                       : m.target == Target::PlaylistEditor ? "playlist editor"
                                                            : "slider";
  return "Message " + std::to_string(m.message) + " (" + std::to_string(m.wparam) + ", " +
         std::to_string(m.lparam) + ") to the " + window;
}

}  // namespace

std::string DescribePlayerMessage(const ReceivedMessage& received) {
  return DescribeBurst(received, 1);
}

std::string DescribeBurst(const ReceivedMessage& received, int count) {
  if (std::string step = VolumeStepName(received); !step.empty()) {
    return step + (count == 1 ? " (one step)" : " (" + std::to_string(count) + " steps)");
  }
  std::string text = DescribeSharedRequest(received);
  if (text.empty()) {
    const auto it = SingleSenders().find(KeyOf(received));
    text = it == SingleSenders().end() ? BareNumbers(received) : JoinedNames(it->second);
  }
  return count > 1 ? text + " (x" + std::to_string(count) + ")" : text;
}

}  // namespace pelorin::testing
