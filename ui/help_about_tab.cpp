#include "ui/help_about_tab.h"

#include <utility>

namespace pelorin {
namespace {

using H = HelpAboutControl;

constexpr H kLinks[] = {H::LinkNullsoft, H::LinkUPX, H::LinkSite, H::LinkMail};

}  // namespace

HelpAboutTab::HelpAboutTab(HelpAboutView& view, FileDialogs& dialogs, WiringPictureWriter& pictures,
                           ShellStarter& shell, std::string browser_path, AboutLinks links)
    : view_(view),
      dialogs_(dialogs),
      pictures_(pictures),
      shell_(shell),
      browser_path_(std::move(browser_path)),
      links_(std::move(links)) {}

void HelpAboutTab::Initialise() {
  // The number, an empty line, then "buttons" one letter per line.
  view_.SetText(H::Btn4, "&4\n\nb\nu\nt\nt\no\nn\ns");
  view_.SetText(H::Btn15, "&15\n\nb\nu\nt\nt\no\nn\ns");
  view_.SetText(H::SpeedButtonSave4, "Save...");
  view_.SetText(H::SpeedButtonSave15, "Save...");
  view_.SetText(H::LabelAbTitle, "Pelorin");
  view_.SetBold(H::LabelAbTitle, true);
  view_.SetText(H::LabelAbVer, "Version 1.42");
  view_.SetText(H::LabelAbRed,
                "This program is provided as is, without warranty of any kind. You use it at "
                "your own risk.");
  view_.SetText(H::LinkNullsoft, "Nullsoft");
  view_.SetHint(H::LinkNullsoft, links_.nullsoft);
  view_.SetText(H::LinkUPX, "UPX");
  view_.SetHint(H::LinkUPX, links_.upx);
  view_.SetText(H::LinkSite, "here");
  view_.SetHint(H::LinkSite, links_.site);
  view_.SetText(H::LinkMail, links_.mail);
  ShowPage(WiringPicture::FourButtons);
}

void HelpAboutTab::Btn4Click() {
  ShowPage(WiringPicture::FourButtons);
}
void HelpAboutTab::Btn15Click() {
  ShowPage(WiringPicture::FifteenButtons);
}
void HelpAboutTab::Image2Click() {
  view_.SetFocus(H::NotebookHelp);
}

void HelpAboutTab::ShowPage(WiringPicture page) {
  // The two buttons form a group in which exactly one stays pressed.
  page_ = page;
  view_.SetChecked(H::Btn4, page == WiringPicture::FourButtons);
  view_.SetChecked(H::Btn15, page == WiringPicture::FifteenButtons);
  view_.SetSelection(H::NotebookHelp, static_cast<int>(page));
}

void HelpAboutTab::SavePicture(WiringPicture picture) {
  FileDialogRequest request;
  request.file_name = picture == WiringPicture::FourButtons ? "4.BMP" : "15.BMP";
  if (auto path = dialogs_.Save(request)) pictures_.WriteBitmap(picture, *path);
}

void HelpAboutTab::OpenLink(const std::string& address) {
  // Without a registered browser the shell picks the handler for the address.
  if (!browser_path_.empty()) {
    shell_.StartFile(browser_path_, address, "");
  } else {
    shell_.StartFile(address, "", "");
  }
}

void HelpAboutTab::LinkMailClick() {
  shell_.StartFile("mailto:" + links_.mail, "", "");
}

void HelpAboutTab::MouseOverLink(HelpAboutControl link) {
  view_.SetUnderlined(link, true);
}

void HelpAboutTab::MouseOverBackground() {
  for (H link : kLinks) view_.SetUnderlined(link, false);
}

}  // namespace pelorin
