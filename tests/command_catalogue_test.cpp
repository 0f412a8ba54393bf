#include "actions/command_catalogue.h"

#include <gtest/gtest.h>

#include "support/fake_file_system.h"

namespace pelorin {
namespace {

using testing::FakeFileSystem;

// The list as the user sees it, in id order: the ids are stored in the
// configuration file, so a name out of place changes what a button does.
TEST(CommandCatalogueTest, FiftyFourCommandsWithoutTheSliderPlugin) {
  const std::vector<std::string> expected = {"Nothing",
                                             "Play",
                                             "Pause",
                                             "Stop",
                                             "Previous track",
                                             "Next track",
                                             "Ten tracks back",
                                             "Ten tracks forward",
                                             "Volume up",
                                             "Volume down",
                                             "Volume 1/8 up",
                                             "Volume 1/8 down",
                                             "Maximal volume",
                                             "Minimal volume",
                                             "Forward 5 seconds",
                                             "Rewind 5 seconds",
                                             "Stop after current track",
                                             "Stop with fadeout",
                                             "Start of playlist",
                                             "End of playlist",
                                             "Start/stop visualization",
                                             "Jump to file dialog",
                                             "Open file(s) dialog",
                                             "Open URL dialog",
                                             "Play Audio CD",
                                             "File info window",
                                             "Preferences window",
                                             "Toggle Shuffle",
                                             "Toggle Repeat",
                                             "Show/Hide main window",
                                             "Clear playlist",
                                             "Save playlist",
                                             "Close Winamp",
                                             "Add file(s) to playlist",
                                             "Play/Pause",
                                             "Play/Stop",
                                             "Fadeout + shut down",
                                             "Fadeout + force shutdown",
                                             "Previous folder",
                                             "Next folder",
                                             "Win: volume up",
                                             "Win: volume down",
                                             "Win: vol up [small step]",
                                             "Win: vol down [sm. step]",
                                             "Win: wave vol up",
                                             "Win: wave vol down",
                                             "Win: wave up [small step]",
                                             "Win: wave down [sm. step]",
                                             "Win: shut down",
                                             "Win: force shut down",
                                             "Win: reboot",
                                             "Win: force reboot",
                                             "Keyboard button",
                                             "Start file/program"};
  FakeFileSystem files;
  files.files["C:\\Winamp\\plugins\\gen_other.dll"] = "";
  std::vector<std::string> list;
  FillCommandList(list, "C:\\Winamp", files);
  EXPECT_EQ(list, expected);
}

TEST(CommandCatalogueTest, SliderCommandComesFiftyFifthWhenThePluginExists) {
  FakeFileSystem files;
  files.files["C:\\Winamp\\plugins\\gen_slider.dll"] = "";
  std::vector<std::string> list{"kept"};
  FillCommandList(list, "C:\\Winamp", files);
  ASSERT_EQ(list.size(), 56u);  // appended, not cleared
  EXPECT_EQ(list[0], "kept");
  EXPECT_EQ(list[command::kSliderSlide + 1], "Slider: Slide");
}

TEST(CommandCatalogueTest, NamesAreUniqueSoTheListCanBeSearchedByName) {
  std::set<std::string_view> names(kCommandNames.begin(), kCommandNames.end());
  EXPECT_EQ(names.size(), kCommandNames.size());
  EXPECT_EQ(names.count(kSliderCommandName), 0u);
}

}  // namespace
}  // namespace pelorin
