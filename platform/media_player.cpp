#include "platform/media_player.h"

namespace pelorin {

namespace {
// Names the failure, so that it can be told apart from a player's own
// errors whatever code the system would give.
constexpr std::string_view kFindPlayer = "find media player";
}  // namespace

OsError NoPlayerError(std::string subject) {
  return {0, kFindPlayer, std::move(subject), "no player is running"};
}

bool IsNoPlayer(const OsError& error) {
  return error.operation == kFindPlayer;
}

}  // namespace pelorin
