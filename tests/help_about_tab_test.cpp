#include "ui/help_about_tab.h"

#include <gtest/gtest.h>

#include "support/fake_controls_view.h"
#include "support/fake_file_dialogs.h"

namespace pelorin {
namespace {

using H = HelpAboutControl;

struct Started {
  std::string file, parameters, directory;
  bool operator==(const Started&) const = default;
};

class RecordingShell final : public ShellStarter, public WiringPictureWriter {
 public:
  void StartFile(const std::string& file, const std::string& parameters,
                 const std::string& directory) override {
    started.push_back({file, parameters, directory});
  }
  void WriteBitmap(WiringPicture picture, const std::string& path) override {
    written.emplace_back(picture, path);
  }
  std::vector<Started> started;
  std::vector<std::pair<WiringPicture, std::string>> written;
};

class HelpAboutTabTest : public ::testing::Test {
 protected:
  HelpAboutTab MakeTab() {
    HelpAboutTab tab(view, dialogs, shell, shell);
    tab.Initialise();
    return tab;
  }
  testing::FakeControlsView<HelpAboutControl> view;
  testing::FakeFileDialogs dialogs;
  RecordingShell shell;
};

TEST_F(HelpAboutTabTest, PageButtonsStayPressedAsAGroup) {
  HelpAboutTab tab = MakeTab();
  EXPECT_TRUE(view[H::FourButtonsPageButton].checked);
  tab.FifteenButtonsPageClicked();
  tab.FifteenButtonsPageClicked();
  EXPECT_EQ(view[H::WiringPages].selection, 1);
  EXPECT_TRUE(view[H::FifteenButtonsPageButton].checked);
  EXPECT_FALSE(view[H::FourButtonsPageButton].checked);
}

TEST_F(HelpAboutTabTest, SavingProposesThePageNameAndWritesOnlyWhenConfirmed) {
  HelpAboutTab tab = MakeTab();
  tab.SaveFifteenButtonsClicked();
  EXPECT_TRUE(shell.written.empty());
  dialogs.next_choice = "C:\\wiring.bmp";
  tab.SaveFourButtonsClicked();
  ASSERT_EQ(dialogs.saved.size(), 2u);
  EXPECT_EQ(dialogs.saved[0].file_name, "15.BMP");
  EXPECT_EQ(dialogs.saved[1].file_name, "4.BMP");
  EXPECT_EQ(dialogs.saved[1].filter, "");
  ASSERT_EQ(shell.written.size(), 1u);
  EXPECT_EQ(shell.written[0].first, WiringPicture::FourButtons);
  EXPECT_EQ(shell.written[0].second, "C:\\wiring.bmp");
}

TEST_F(HelpAboutTabTest, LinksOpenTheirAddressThroughTheShell) {
  MakeTab().UpxLinkClicked();
  MakeTab().SiteLinkClicked();
  MakeTab().MailLinkClicked();
  const AboutLinks links;
  EXPECT_EQ(shell.started,
            (std::vector<Started>{
                {links.upx, "", ""}, {links.site, "", ""}, {"mailto:" + links.mail, "", ""}}));
}

TEST_F(HelpAboutTabTest, HoverUnderlinesOneLinkAndTheBackgroundClearsAll) {
  HelpAboutTab tab = MakeTab();
  tab.MouseOverLink(H::UpxLink);
  tab.MouseOverLink(H::MailLink);
  EXPECT_TRUE(view[H::UpxLink].underlined);
  tab.MouseOverBackground();
  EXPECT_FALSE(view[H::UpxLink].underlined);
  EXPECT_FALSE(view[H::MailLink].underlined);
}

}  // namespace
}  // namespace pelorin
