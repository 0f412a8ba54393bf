#include "actions/command_catalogue.h"

namespace pelorin {

std::string SliderPluginPath(std::string_view player_dir) {
  return std::string(player_dir) + "\\plugins\\gen_slider.dll";
}

void FillCommandList(std::vector<std::string>& list, std::string_view player_dir,
                     FileSystem& files) {
  for (std::string_view name : kCommandNames) list.emplace_back(name);
  if (files.FileExists(SliderPluginPath(player_dir))) list.emplace_back(kSliderCommandName);
}

}  // namespace pelorin
