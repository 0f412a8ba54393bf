#include "ui/help_about_tab.h"

#include <utility>

#include "platform/version.h"

namespace pelorin {
namespace {

using H = HelpAboutControl;

constexpr H kLinks[] = {H::NullsoftLink, H::UpxLink, H::SiteLink, H::MailLink};

}  // namespace

HelpAboutTab::HelpAboutTab(HelpAboutView& view, FileDialogs& dialogs, WiringPictureWriter& pictures,
                           ShellStarter& shell, AboutLinks links)
    : view_(view),
      dialogs_(dialogs),
      pictures_(pictures),
      shell_(shell),
      links_(std::move(links)) {}

void HelpAboutTab::Initialise() {
  // The number, an empty line, then "buttons" one letter per line.
  view_.SetText(H::FourButtonsPageButton, "&4\n\nb\nu\nt\nt\no\nn\ns");
  view_.SetText(H::FifteenButtonsPageButton, "&15\n\nb\nu\nt\nt\no\nn\ns");
  view_.SetText(H::SaveFourButtonsButton, "Save...");
  view_.SetText(H::SaveFifteenButtonsButton, "Save...");
  view_.SetText(H::TitleLabel, "Pelorin");
  view_.SetBold(H::TitleLabel, true);
  view_.SetText(H::VersionLabel, "Version " PELORIN_VERSION_TEXT);
  view_.SetText(H::DisclaimerLabel,
                "This program is provided as is, without warranty of any kind. You use it at "
                "your own risk.");
  view_.SetText(H::NullsoftLink, "Nullsoft");
  view_.SetHint(H::NullsoftLink, links_.nullsoft);
  view_.SetText(H::UpxLink, "UPX");
  view_.SetHint(H::UpxLink, links_.upx);
  view_.SetText(H::SiteLink, "here");
  view_.SetHint(H::SiteLink, links_.site);
  view_.SetText(H::MailLink, links_.mail);
  ShowPage(WiringPicture::FourButtons);
}

void HelpAboutTab::FourButtonsPageClicked() {
  ShowPage(WiringPicture::FourButtons);
}
void HelpAboutTab::FifteenButtonsPageClicked() {
  ShowPage(WiringPicture::FifteenButtons);
}
void HelpAboutTab::WiringPictureClicked() {
  view_.SetFocus(H::WiringPages);
}

void HelpAboutTab::ShowPage(WiringPicture page) {
  // The two buttons form a group in which exactly one stays pressed.
  page_ = page;
  view_.SetChecked(H::FourButtonsPageButton, page == WiringPicture::FourButtons);
  view_.SetChecked(H::FifteenButtonsPageButton, page == WiringPicture::FifteenButtons);
  view_.SetSelection(H::WiringPages, static_cast<int>(page));
}

void HelpAboutTab::SavePicture(WiringPicture picture) {
  FileDialogRequest request;
  request.file_name = picture == WiringPicture::FourButtons ? "4.BMP" : "15.BMP";
  request.filter = pictures_.SaveFilter();
  if (auto path = dialogs_.Save(request)) pictures_.WriteBitmap(picture, *path);
}

void HelpAboutTab::OpenLink(const std::string& address) {
  // The address itself: the shell opens it with the browser the user chose
  // in Windows' settings, which the old "http" open command no longer names.
  shell_.StartFile(address, "", "");
}

void HelpAboutTab::MailLinkClicked() {
  shell_.StartFile("mailto:" + links_.mail, "", "");
}

void HelpAboutTab::MouseOverLink(HelpAboutControl link) {
  view_.SetUnderlined(link, true);
}

void HelpAboutTab::MouseOverBackground() {
  for (H link : kLinks) view_.SetUnderlined(link, false);
}

}  // namespace pelorin
