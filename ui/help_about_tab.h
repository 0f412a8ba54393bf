#pragma once
#include <string>

#include "ui/controls_view.h"
#include "ui/file_dialogs.h"

namespace pelorin {

// Controls of the "Help" and "About" tabs.
enum class HelpAboutControl {
  FourButtonsPageButton,
  FifteenButtonsPageButton,
  WiringPages,
  SaveFourButtonsButton,
  SaveFifteenButtonsButton,
  TitleLabel,
  VersionLabel,
  DisclaimerLabel,
  NullsoftLink,
  UpxLink,
  SiteLink,
  MailLink,
};

using HelpAboutView = ControlsView<HelpAboutControl>;

// The two wiring pictures of the "Help" tab.
enum class WiringPicture { FourButtons = 0, FifteenButtons = 1 };

// Writes a wiring picture as a Windows bitmap file, replacing a file of that
// name; a failure is ignored (the pictures are drawn elsewhere).
class WiringPictureWriter {
 public:
  virtual ~WiringPictureWriter() = default;
  virtual void WriteBitmap(WiringPicture picture, const std::string& path) = 0;
  // The file types the save dialog offers, as FileDialogRequest::filter
  // writes them. A writer of bitmaps only offers none: the preset name's
  // ".BMP" says what is written. A writer that also writes other formats
  // (chosen by the name's ending) lists them.
  virtual std::string SaveFilter() const { return {}; }
};

// Starts a document, program or address through the shell's default action,
// shown normally, with no owner window; the result is ignored.
class ShellStarter {
 public:
  virtual ~ShellStarter() = default;
  virtual void StartFile(const std::string& file, const std::string& parameters,
                         const std::string& directory) = 0;
};

// Where the About tab's links lead; the web addresses are the links' hints.
struct AboutLinks {
  std::string nullsoft = "https://www.winamp.com/";
  std::string upx = "https://upx.github.io/";
  std::string site = "https://pelorin.example/";
  std::string mail = "pelorin@pelorin.example";
};

// The "Help" and "About" tabs: the picture toggle, saving a picture and the
// links, which open their address through the shell (the user's default
// browser or mail program).
class HelpAboutTab {
 public:
  HelpAboutTab(HelpAboutView& view, FileDialogs& dialogs, WiringPictureWriter& pictures,
               ShellStarter& shell, AboutLinks links = {});

  // Texts, link hints and the page "4" with its button pressed.
  void Initialise();

  void FourButtonsPageClicked();
  void FifteenButtonsPageClicked();
  void WiringPictureClicked();
  void SaveFourButtonsClicked() { SavePicture(WiringPicture::FourButtons); }
  void SaveFifteenButtonsClicked() { SavePicture(WiringPicture::FifteenButtons); }

  void OpenLink(const std::string& address);
  void NullsoftLinkClicked() { OpenLink(links_.nullsoft); }
  void UpxLinkClicked() { OpenLink(links_.upx); }
  void SiteLinkClicked() { OpenLink(links_.site); }
  void MailLinkClicked();

  // Hover: the link under the mouse is underlined; the tab's background and
  // its text labels take the underline off all four links.
  void MouseOverLink(HelpAboutControl link);
  void MouseOverBackground();

  WiringPicture Page() const { return page_; }

 private:
  void ShowPage(WiringPicture page);
  void SavePicture(WiringPicture picture);

  HelpAboutView& view_;
  FileDialogs& dialogs_;
  WiringPictureWriter& pictures_;
  ShellStarter& shell_;
  AboutLinks links_;
  WiringPicture page_ = WiringPicture::FourButtons;
};

}  // namespace pelorin
