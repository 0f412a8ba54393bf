#pragma once
#include <functional>
#include <string>
#include <vector>

#include <QGroupBox>

class QButtonGroup;
class QVBoxLayout;

namespace pelorin::qt {

// A framed group of radio buttons, one per item, of which one (or none) is
// chosen: the toolkit's form of a radio group control. A click on an item
// reports its index; setting the selection reports nothing.
class ChoiceGroup final : public QGroupBox {
 public:
  explicit ChoiceGroup(QWidget* parent = nullptr);

  void SetItems(const std::vector<std::string>& items);
  void SetSelection(int index);
  int Selection() const;
  void OnChosen(std::function<void(int)> chosen) { chosen_ = std::move(chosen); }

 private:
  QVBoxLayout* layout_;
  QButtonGroup* buttons_;
  std::function<void(int)> chosen_;
};

}  // namespace pelorin::qt
