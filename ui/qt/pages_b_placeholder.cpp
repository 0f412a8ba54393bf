// Empty player and help pages until the branch that builds them is merged;
// removed in this branch's last commit.
#include <QWidget>

#include "ui/qt/properties_dialog.h"

namespace pelorin::qt {

QWidget* PropertiesDialog::BuildPlayerPage() {
  return new QWidget;
}

QWidget* PropertiesDialog::BuildHelpPage() {
  return new QWidget;
}

}  // namespace pelorin::qt
