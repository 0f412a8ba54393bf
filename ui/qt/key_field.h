#pragma once
#include <functional>

#include <QLineEdit>

namespace pelorin::qt {

// The key-capture field of the player tab: it shows the captured key's name
// and takes every key pressed while it has the focus, Escape and Enter
// included, so that neither cancels nor confirms the window. Each key goes to
// the handler as a Windows virtual-key code; a key the handler does not use
// (it returns false: Tab) moves the focus on as usual. Typed characters never
// appear: the field is read-only and shows what the presenter sets.
class KeyField final : public QLineEdit {
 public:
  explicit KeyField(QWidget* parent = nullptr);

  void OnKeyDown(std::function<bool(int virtual_key)> key_down) { key_down_ = std::move(key_down); }

 protected:
  bool event(QEvent* event) override;

 private:
  std::function<bool(int)> key_down_;
};

}  // namespace pelorin::qt
