#include "support/player_message_cases.h"

#include <map>

#include "actions/player_channel.h"

namespace pelorin::testing {
namespace {

using How = FakeWindowMessaging::How;

ExpectedMessage PostedCommand(std::uintptr_t id) {
  return {Target::Player, kWmCommand, id, 0, How::Posted};
}
ExpectedMessage PostedRequest(std::uintptr_t wparam, std::intptr_t request) {
  return {Target::Player, kWmUser, wparam, request, How::Posted};
}
ExpectedMessage SentRequest(std::intptr_t request) {
  return {Target::Player, kWmUser, 0, request, How::Sent};
}

// Commands that post exactly one WM_COMMAND.
const std::map<int, std::uintptr_t> kSinglePlayerCommands = {
    {1, 40045},  {2, 40046},  {3, 40047},  {4, 40044},  {5, 40048},  {6, 40197},  {7, 40195},
    {8, 40058},  {9, 40059},  {14, 40148}, {15, 40144}, {16, 40157}, {17, 40147}, {18, 40154},
    {19, 40158}, {20, 40192}, {21, 40194}, {22, 40029}, {23, 40155}, {24, 40323}, {25, 40188},
    {26, 40012}, {27, 40023}, {28, 40022}, {29, 40258}, {32, 40001}};

}  // namespace

std::vector<CommandCase> PlayerMessageCases() {
  std::map<int, std::vector<ExpectedMessage>> by_id;
  for (const auto& [id, wm_command] : kSinglePlayerCommands)
    by_id[id] = {PostedCommand(wm_command)};
  by_id[10] = std::vector<ExpectedMessage>(8, PostedCommand(40058));
  by_id[11] = std::vector<ExpectedMessage>(8, PostedCommand(40059));
  by_id[12] = {PostedRequest(255, 122)};
  by_id[13] = {PostedRequest(0, 122)};
  by_id[30] = {PostedRequest(0, 101)};
  by_id[31] = {SentRequest(120)};
  by_id[33] = {{Target::PlaylistEditor, kWmKeyDown, 0x4C, 0, How::Posted}};
  // Paused is not playing: both toggles play.
  by_id[34] = {SentRequest(104), PostedCommand(40045)};
  by_id[35] = {SentRequest(104), PostedCommand(40045)};
  by_id[36] = {{Target::Player, kWmCommand, 40147, 0, How::SentAndWaited}};
  by_id[37] = by_id[36];
  // No playlist file: the write request is all that reaches the player.
  by_id[38] = {SentRequest(120)};
  by_id[39] = {SentRequest(120)};
  by_id[54] = {{Target::Slider, 3026, 1, 0, How::Posted}};

  std::vector<CommandCase> cases;
  for (int id = 0; id <= 55; ++id) cases.push_back({id, by_id[id]});
  for (int id : {56, 100, 254, 255}) cases.push_back({id, {}});
  return cases;
}

}  // namespace pelorin::testing
