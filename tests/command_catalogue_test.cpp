#include "actions/command_catalogue.h"

#include <gtest/gtest.h>

#include "support/fake_file_system.h"

namespace pelorin {
namespace {

using testing::FakeFileSystem;

TEST(CommandCatalogueTest, FiftyFourCommandsWithoutTheSliderPlugin) {
  FakeFileSystem files;
  files.files["C:\\Winamp\\plugins\\gen_other.dll"] = "";
  std::vector<std::string> list;
  FillCommandList(list, "C:\\Winamp", files);
  ASSERT_EQ(list.size(), 54u);
  EXPECT_EQ(list.front(), "Nothing");
  EXPECT_EQ(list.back(), "Start file/program");
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
