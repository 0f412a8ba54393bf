#pragma once
#include <windows.h>

#include <commctrl.h>

#include <optional>
#include <string>

#include "ui/file_dialogs.h"
#include "ui/help_about_tab.h"
#include "ui/properties_window.h"
#include "ui/win32/control_table.h"
#include "ui/win32/main_window.h"
#include "ui/win32/panels.h"
#include "ui/win32/scoped_win.h"

namespace pelorin::win32 {

using FrameTable = TableView<FrameControl, static_cast<int>(FrameControl::ApplyButton) + 1>;
using ComPortsTable =
    TableView<ComPortsControl, static_cast<int>(ComPortsControl::UseSecondaryCheck) + 1>;

// The Winamp tab's controls. Its row labels change with the click mode; where
// a group's row-3 label reaches into its player-absent label, that label
// yields.
class WinampTable final
    : public TableView<WinampControl,
                       static_cast<int>(WinampControl::SecondaryBrowseFileButton) + 1> {
 public:
  using TableView::TableView;
  void SetText(WinampControl control, const std::string& text) override;
  void SetVisible(WinampControl control, bool visible) override;

 private:
  void AvoidRowLabelOverlap(PortRole port);
};

using OptionsTable = TableView<OptionsControl, static_cast<int>(OptionsControl::InternetList) + 1>;
using HelpAboutTable =
    TableView<HelpAboutControl, static_cast<int>(HelpAboutControl::MailLink) + 1>;

// The Win32 face of the properties window: the five tab pages with every
// control, OK, Cancel and Apply, and the common file dialogs. It fills the
// main window (as its DialogContent) and passes each user event to the
// presenters; what the presenters ask it to show it only shows.
//
// Order of use: construct the view, construct the presenters with its tables
// (Frame() ... HelpAbout()) and its file dialogs, Bind them, create the main
// window with this view as its content, then let the presenters Initialise.
// The window starts hidden and without controls: the tab pages, their
// controls and the wiring pictures are built when the window is first shown
// (or on BuildControls), and what the presenters asked of them before is done
// on them then. Events that arrive before Bind are dropped. The view destroys
// the window when it goes, so it must be destroyed before the MainWindow that
// created it.
class PropertiesView final : public DialogContent, public PanelSink, public FileDialogs {
 public:
  PropertiesView();
  ~PropertiesView() override;
  PropertiesView(const PropertiesView&) = delete;
  PropertiesView& operator=(const PropertiesView&) = delete;

  void Bind(PropertiesWindow& window, HelpAboutTab& help_about);

  // The properties window, once created.
  HWND Handle() const { return hwnd_; }
  // The remap dialogs disable the window while they show.
  void EnableInput(bool enabled);
  // Builds the tab pages with their controls and the wiring pictures now,
  // if the window has not been shown yet; does nothing after that.
  void BuildControls();

  // DialogContent
  bool HandleDialogMessage(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam,
                           INT_PTR& result) override;

  // FileDialogs: modal over the properties window.
  std::optional<std::string> Open(const FileDialogRequest& request) override;
  std::optional<std::string> Save(const FileDialogRequest& request) override;

  // The controls of the frame and of each tab page, as the presenters see
  // them. Their windows exist once the controls are built.
  FrameTable& Frame() { return frame_table_; }
  ComPortsTable& ComPorts() { return com_ports_table_; }
  WinampTable& Winamp() { return winamp_table_; }
  OptionsTable& Options() { return options_table_; }
  HelpAboutTable& HelpAbout() { return help_about_table_; }

  // Hooks of the subclassed controls (key field, arrows, links).
  void KeyFieldKeyDown(PortRole port, int virtual_key, bool& used);
  void ArrowPressed(PortRole port, bool next);
  void LinkMouseMove(HelpAboutControl link);

 private:
  // PanelSink
  bool OnPanelMessage(HWND panel, UINT message, WPARAM wparam, LPARAM lparam,
                      INT_PTR& result) override;

  // The window itself, at its creation: its owner, size and place.
  void PrepareWindow(HWND hwnd);
  void BuildFrame(ControlBuilder& b, RECT& page_area);
  void BuildComPortsPage(ControlBuilder& b, HWND page);
  void BuildComPortsGroup(ControlBuilder& b, HWND page, PortRole port, int top);
  void BuildWinampPage(ControlBuilder& b, HWND page);
  void BuildWinampGroup(ControlBuilder& b, HWND page, PortRole port, int top);
  void BuildOptionsPage(ControlBuilder& b, HWND page);
  void BuildHelpPage(ControlBuilder& b, HWND page, int width, int height);
  void BuildAboutPage(ControlBuilder& b, HWND page);
  void SetUpTabImages();
  void LayOutLinks();
  void PlaceWindowForShow();

  bool OnCommand(WORD id, WORD code, HWND control);
  void OnComPortsCommand(ComPortsControl control, WORD code, HWND hwnd);
  void OnWinampCommand(WinampControl control, WORD code, HWND hwnd);
  void OnOptionsCommand(OptionsControl control, WORD code, HWND hwnd);
  void OnHelpAboutCommand(HelpAboutControl control, WORD code);
  void OnTrackBar(HWND track_bar);
  bool OnNotify(const NMHDR& header);
  bool OnDrawItem(const DRAWITEMSTRUCT& item);
  HBRUSH OnControlColour(UINT message, HWND control, HDC dc);

  ControlStyle style_;
  FrameTable frame_table_{style_};
  ComPortsTable com_ports_table_{style_};
  WinampTable winamp_table_{style_};
  OptionsTable options_table_{style_};
  HelpAboutTable help_about_table_{style_};
  PropertiesWindow* window_ = nullptr;
  HelpAboutTab* help_about_ = nullptr;
  HWND hwnd_ = nullptr;
  HWND owner_ = nullptr;  // the hidden application window that owns this one
  HWND about_page_ = nullptr;
  HWND about_icon_ = nullptr;
  HWND picture_four_ = nullptr;
  HWND picture_fifteen_ = nullptr;
  // The fixed texts that the About tab's links sit in, per link line.
  struct LinkLine {
    HWND before = nullptr;
    HWND after = nullptr;
    HelpAboutControl link;
  };
  LinkLine link_lines_[4]{};
  int dpi_ = 96;
  bool controls_built_ = false;
  UniqueGdi<HBITMAP> four_buttons_picture_;
  UniqueGdi<HBITMAP> fifteen_buttons_picture_;
  UniqueImageList tab_images_;  // shown by the tab control, destroyed after it
  UniqueIcon about_icon_image_;
};

}  // namespace pelorin::win32
