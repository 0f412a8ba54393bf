#include "support/player_message_text.h"

#include <map>
#include <tuple>
#include <vector>

#include "actions/command_catalogue.h"
#include "actions/player_channel.h"

namespace pelorin::testing {
namespace {

using MessageKey = std::tuple<Target, std::uint32_t, std::uintptr_t, std::intptr_t>;
using BurstKey = std::pair<MessageKey, int>;

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

// Which commands send nothing but `count` copies of one message, read from
// the shared table of what every command sends, so that the words always
// follow the dispatcher's tested behaviour.
std::map<BurstKey, std::vector<int>> BuildBurstSenders() {
  std::map<BurstKey, std::vector<int>> senders;
  for (const CommandCase& c : PlayerMessageCases()) {
    if (c.messages.empty()) continue;
    const MessageKey first = KeyOf(c.messages.front());
    bool uniform = true;
    for (const ExpectedMessage& m : c.messages) uniform = uniform && KeyOf(m) == first;
    if (uniform) senders[{first, static_cast<int>(c.messages.size())}].push_back(c.command);
  }
  return senders;
}

const std::map<BurstKey, std::vector<int>>& BurstSenders() {
  static const auto senders = BuildBurstSenders();
  return senders;
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
  if (std::string shared = DescribeSharedRequest(received); !shared.empty()) return shared;
  const auto it = BurstSenders().find({KeyOf(received), 1});
  return it == BurstSenders().end() ? BareNumbers(received) : JoinedNames(it->second);
}

std::string DescribeBurst(const ReceivedMessage& received, int count) {
  if (count > 1) {
    const auto it = BurstSenders().find({KeyOf(received), count});
    if (it != BurstSenders().end()) return JoinedNames(it->second);
  }
  std::string text = DescribePlayerMessage(received);
  return count > 1 ? text + " (x" + std::to_string(count) + ")" : text;
}

}  // namespace pelorin::testing
