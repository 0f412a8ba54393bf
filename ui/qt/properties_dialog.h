#pragma once
#include <functional>
#include <optional>
#include <string>

#include <QWidget>

#include "ui/file_dialogs.h"
#include "ui/help_about_tab.h"
#include "ui/properties_window.h"
#include "ui/qt/widget_table.h"

class QGridLayout;
class QLayout;
class QTabWidget;

namespace pelorin::qt {

using FrameTable = WidgetTable<FrameControl, static_cast<int>(FrameControl::ApplyButton) + 1>;
using ComPortsTable =
    WidgetTable<ComPortsControl, static_cast<int>(ComPortsControl::UseSecondaryCheck) + 1>;
using PlayerTable =
    WidgetTable<WinampControl, static_cast<int>(WinampControl::SecondaryBrowseFileButton) + 1>;
using OptionsTable =
    WidgetTable<OptionsControl, static_cast<int>(OptionsControl::InternetList) + 1>;
using HelpAboutTable =
    WidgetTable<HelpAboutControl, static_cast<int>(HelpAboutControl::MailLink) + 1>;

// The Qt face of the properties window: a top-level window with the five tab
// pages and every control, OK, Cancel and Apply, and the file dialogs. It
// passes each user event to the presenters; what the presenters ask it to
// show it only shows.
//
// Order of use: construct (every widget is built at once, hidden), construct
// the presenters with its tables and its file dialogs, Bind them, then let
// the presenters Initialise. Events before Bind are dropped.
class PropertiesDialog final : public QWidget, public FileDialogs {
 public:
  PropertiesDialog();
  ~PropertiesDialog() override;

  void Bind(PropertiesWindow& window, HelpAboutTab& help_about);

  // What the window's owner (the program's main window) does when the user
  // asks to close the window, and once it was shown. The close request's
  // answer says whether the window may close.
  void OnCloseRequest(std::function<bool()> handler) { close_request_ = std::move(handler); }
  void OnShown(std::function<void()> handler) { shown_ = std::move(handler); }

  // FileDialogs: modal over the properties window.
  std::optional<std::string> Open(const FileDialogRequest& request) override;
  std::optional<std::string> Save(const FileDialogRequest& request) override;

  // The controls of the frame and of each tab page, as the presenters see them.
  FrameTable& Frame() { return frame_; }
  ComPortsTable& ComPorts() { return com_ports_; }
  PlayerTable& Player() { return player_; }
  OptionsTable& Options() { return options_; }
  HelpAboutTable& HelpAbout() { return help_about_table_; }

 protected:
  void closeEvent(QCloseEvent* event) override;
  void showEvent(QShowEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void paintEvent(QPaintEvent* event) override;

 private:
  // Each page in a file of its own.
  QWidget* BuildComPortsPage();
  QWidget* BuildPlayerPage();
  QWidget* BuildOptionsPage();
  QWidget* BuildHelpPage();
  QWidget* BuildAboutPage();
  QWidget* BuildComPortsGroup(PortRole port);
  QWidget* BuildLedGroup();
  // Whether a key-capture field of the player page has the focus: Escape and
  // Enter then belong to it.
  bool KeyFieldFocused() const;
  // Parts of the player page: one port's group, its arrows, one command row
  // (1-3) and the key or file settings under the rows.
  QWidget* BuildPlayerGroup(PortRole port);
  QLayout* BuildButtonArrows(PortRole port);
  void AddCommandRow(QGridLayout* grid, PortRole port, int row);
  QWidget* BuildExtraPages(PortRole port);

  FrameTable frame_;
  ComPortsTable com_ports_;
  PlayerTable player_;
  OptionsTable options_;
  HelpAboutTable help_about_table_;
  PropertiesWindow* window_ = nullptr;
  HelpAboutTab* help_about_ = nullptr;
  QTabWidget* tabs_ = nullptr;
  std::function<bool()> close_request_;
  std::function<void()> shown_;
  bool placed_ = false;  // centred on the screen at its first showing
};

}  // namespace pelorin::qt
