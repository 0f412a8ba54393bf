#include "ui/qt/tray_icon.h"

#include <QAction>
#include <QCursor>
#include <QIcon>

#include "indicators/tray_clicks.h"
#include "ui/edition_texts.h"

namespace pelorin::qt {
namespace {

// A tray that is not there yet (the desktop still starting) is looked for
// again at this pace, as the Windows program adds its icon again.
constexpr int kTrayRetryIntervalMs = 2000;

QString MenuText(const char* windows_text) {
  return QString::fromStdString(EditionText(windows_text));
}

}  // namespace

TrayIcon::TrayIcon(ClickHandler on_click, const MenuHandler& on_menu, TraceSink& tell)
    : tell_(tell) {
  icon_.setIcon(QIcon(QStringLiteral(":/pelorin/pelorin.ico")));
  icon_.setToolTip(QStringLiteral("Pelorin"));
  // The Windows menu's items in its order; "P&roperties" is the default
  // item, drawn bold.
  const std::array<std::pair<TrayMenuItem, const char*>, 4> items = {{
      {TrayMenuItem::Properties, "P&roperties"},
      {TrayMenuItem::StartPlayer, "Start &Winamp"},
      {TrayMenuItem::Volume, "&Volume"},
      {TrayMenuItem::Exit, "E&xit"},
  }};
  for (const auto& [item, text] : items) {
    QAction* action = menu_.addAction(MenuText(text));
    QObject::connect(action, &QAction::triggered, [on_menu, item = item] { on_menu(item); });
    actions_[static_cast<std::size_t>(item)] = action;
  }
  menu_.setDefaultAction(Action(TrayMenuItem::Properties));
  // Given to the icon as well: a StatusNotifierItem host shows the menu
  // only when the icon exports it, and an XEmbed icon then opens it at the
  // press, as the program would.
  icon_.setContextMenu(&menu_);

  QObject::connect(&icon_, &QSystemTrayIcon::activated,
                   [on_click = std::move(on_click)](QSystemTrayIcon::ActivationReason reason) {
                     switch (reason) {
                       case QSystemTrayIcon::Trigger:
                         on_click(kMouseLeftDown);
                         break;
                       case QSystemTrayIcon::DoubleClick:
                         on_click(kMouseLeftDoubleClick);
                         break;
                       case QSystemTrayIcon::Context:
                         on_click(kMouseRightDown);
                         break;
                       default:
                         break;
                     }
                   });
  retry_.setInterval(kTrayRetryIntervalMs);
  QObject::connect(&retry_, &QTimer::timeout, [this] {
    if (TryShow()) retry_.stop();
  });
}

bool TrayIcon::TryShow() {
  if (!QSystemTrayIcon::isSystemTrayAvailable()) return false;
  icon_.show();
  return true;
}

void TrayIcon::Add() {
  if (TryShow()) {
    retry_.stop();
    return;
  }
  retry_.start();
  if (told_no_tray_) return;
  told_no_tray_ = true;
  tell_.WriteLine(
      "pelorin: no tray icon: the desktop has no system tray (neither a "
      "StatusNotifierItem host nor an XEmbed tray); `pelorin show` opens the window.");
}

void TrayIcon::Remove() {
  retry_.stop();
  icon_.hide();
}

void TrayIcon::OpenMenuAtCursor() {
  // The menu grabs the pointer, so a click elsewhere closes it.
  if (!menu_.isVisible()) menu_.popup(QCursor::pos());
}

void TrayIcon::EnableItem(TrayMenuItem item, bool enabled) {
  Action(item)->setEnabled(enabled);
}

void TrayIcon::SetTip(const std::string& tip) {
  icon_.setToolTip(QString::fromStdString(EditionText(tip)));
}

}  // namespace pelorin::qt
