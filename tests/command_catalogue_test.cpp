#include "actions/command_catalogue.h"

#include <gtest/gtest.h>

#include "support/fake_file_system.h"

namespace pelorin {
namespace {

using testing::FakeFileSystem;

// The list as the user sees it, in id order: the ids are stored in the
// configuration file, so a name out of place changes what a button does.
TEST(CommandCatalogueTest, FiftyFourCommandsWithoutTheSliderPlugin) {
  FakeFileSystem files;
  files.files["C:\\Winamp\\plugins\\gen_other.dll"] = "";
  std::vector<std::string> list;
  FillCommandList(list, "C:\\Winamp", files);
  std::string shown;
  for (const std::string& name : list) shown += name + "\n";
  EXPECT_EQ(shown,
            "Nothing\nPlay\nPause\nStop\nPrevious track\nNext track\nTen tracks back\n"
            "Ten tracks forward\nVolume up\nVolume down\nVolume 1/8 up\nVolume 1/8 down\n"
            "Maximal volume\nMinimal volume\nForward 5 seconds\nRewind 5 seconds\n"
            "Stop after current track\nStop with fadeout\nStart of playlist\nEnd of playlist\n"
            "Start/stop visualization\nJump to file dialog\nOpen file(s) dialog\nOpen URL dialog\n"
            "Play Audio CD\nFile info window\nPreferences window\nToggle Shuffle\nToggle Repeat\n"
            "Show/Hide main window\nClear playlist\nSave playlist\nClose Winamp\n"
            "Add file(s) to playlist\nPlay/Pause\nPlay/Stop\nFadeout + shut down\n"
            "Fadeout + force shutdown\nPrevious folder\nNext folder\nWin: volume up\n"
            "Win: volume down\nWin: vol up [small step]\nWin: vol down [sm. step]\n"
            "Win: wave vol up\nWin: wave vol down\nWin: wave up [small step]\n"
            "Win: wave down [sm. step]\nWin: shut down\nWin: force shut down\nWin: reboot\n"
            "Win: force reboot\nKeyboard button\nStart file/program\n");
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
