#pragma once
#include <QMenu>
#include <QSystemTrayIcon>
#include <QTimer>
#include <array>
#include <cstdint>
#include <functional>
#include <string>

#include "platform/trace.h"
#include "ui/program_window.h"

class QAction;

namespace pelorin::qt {

// The program's icon in the desktop's notification area, with its menu.
//
// Qt 6 on X11 shows it as a StatusNotifierItem over D-Bus when a
// StatusNotifierWatcher (with a host) is on the session bus, as on KDE
// Plasma or with an indicator extension; otherwise as an XEmbed icon docked
// in the tray window of the screen's system-tray selection owner (the
// classic trays: trayer, stalonetray, xfce4-panel, lxpanel).
//
// Clicks reach the owner as the mouse messages of the Windows icon: a left
// press (kMouseLeftDown), a left double-click (kMouseLeftDoubleClick) and a
// right press (kMouseRightDown). The owner opens the menu at the cursor
// when the click rules say so; the icon may have opened it already.
class TrayIcon {
 public:
  using ClickHandler = std::function<void(std::uint32_t mouse_message)>;
  using MenuHandler = std::function<void(TrayMenuItem item)>;

  // `tell` gets the one line that says why no icon appears.
  TrayIcon(ClickHandler on_click, const MenuHandler& on_menu,
           TraceSink& tell = StandardErrorTrace());
  TrayIcon(const TrayIcon&) = delete;
  TrayIcon& operator=(const TrayIcon&) = delete;

  // Shows the icon. Without a tray on the desktop (none yet at log-in, or a
  // bare window manager) it is added again every 2 s until one appears, and
  // the user is told once why no icon is there and how to reach the window.
  void Add();
  void Remove();
  // Whether the icon is on the desktop's tray now.
  bool Shown() const { return icon_.isVisible(); }
  // Whether the icon waits for a tray to appear.
  bool WaitingForTray() const { return retry_.isActive(); }

  void OpenMenuAtCursor();
  void EnableItem(TrayMenuItem item, bool enabled);
  // The tip, kept for later adding and shown at once while the icon is there.
  void SetTip(const std::string& tip);

  QSystemTrayIcon& Icon() { return icon_; }
  QMenu& Menu() { return menu_; }
  QAction* Action(TrayMenuItem item) const { return actions_[static_cast<std::size_t>(item)]; }

 private:
  bool TryShow();

  QSystemTrayIcon icon_;
  QMenu menu_;
  std::array<QAction*, 4> actions_{};
  QTimer retry_;
  TraceSink& tell_;
  bool told_no_tray_ = false;
};

}  // namespace pelorin::qt
