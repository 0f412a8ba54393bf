#include "ui/qt/key_field.h"

#include <QKeyEvent>

#include "ui/qt/qt_virtual_keys.h"
#include "ui/virtual_keys.h"

namespace pelorin::qt {

KeyField::KeyField(QWidget* parent) : QLineEdit(parent) {
  setReadOnly(true);
  // Copy and select mean nothing for a key's name.
  setContextMenuPolicy(Qt::NoContextMenu);
}

bool KeyField::event(QEvent* event) {
  const QEvent::Type type = event->type();
  if (type != QEvent::KeyPress && type != QEvent::ShortcutOverride) return QLineEdit::event(event);
  auto* key = static_cast<QKeyEvent*>(event);
  const int virtual_key = VirtualKeyOf(*key);
  if (type == QEvent::ShortcutOverride) {
    // Taking the override keeps a shortcut (a button's Alt+letter, the
    // window's Escape) from seeing the key: it comes here as a key press.
    if (key_down_ && virtual_key != kTabKey) {
      event->accept();
      return true;
    }
    return QLineEdit::event(event);
  }
  if (!key_down_) return QLineEdit::event(event);
  // A key without a Windows code (a toolkit-only key) is swallowed unused:
  // storing a made-up code would send a wrong key later.
  if (virtual_key == 0 || key_down_(virtual_key)) {
    event->accept();
    return true;
  }
  return QLineEdit::event(event);
}

}  // namespace pelorin::qt
