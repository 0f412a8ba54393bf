// A remap dialog's Qt view wired to the real presenter.
#include <QDialog>
#include <QPushButton>
#include <QRadioButton>
#include <QStackedWidget>
#include <QTest>

#include <gtest/gtest.h>

#include "ui/qt/choice_group.h"
#include "ui/qt/remap_dialog_view.h"

namespace pelorin::qt {
namespace {

using R = RemapControl;

class FixedStore final : public LineMapStore {
 public:
  LineMap ReadLineMap(PortRole) override { return {1, 2, 3, 4}; }
  void WriteLineMap(PortRole, const LineMap&) override {}
};

class RemapDialogViewTest : public ::testing::Test {
 protected:
  RemapDialogViewTest() {
    settings.Secondary.DCD = 1;
    presenter.Initialise();
    view.Bind(presenter);
    presenter.Show();
  }
  int Page() { return static_cast<QStackedWidget*>(view.Widget(R::Pages))->currentIndex(); }

  QWidget owner;
  Settings settings;
  FixedStore store;
  RemapDialogView view{&owner};
  RemapDialog presenter{PortRole::Secondary, settings, view, store, [](bool) {}};
};

TEST_F(RemapDialogViewTest, RadioChoiceChangesTheLiveMapAndKeysGoThroughThePresenter) {
  ASSERT_TRUE(QTest::qWaitForWindowExposed(view.Dialog()));
  EXPECT_EQ(view.Dialog()->windowTitle(), "Secondary COM-port buttons");
  EXPECT_EQ(view.Dialog()->parentWidget(), &owner);
  auto* dsr = dynamic_cast<ChoiceGroup*>(view.Widget(R::DsrChoice));
  ASSERT_NE(dsr, nullptr);
  const QList<QRadioButton*> choices = dsr->findChildren<QRadioButton*>();
  ASSERT_EQ(choices.size(), 5);
  EXPECT_EQ(choices[3]->text(), "7");
  QTest::mouseClick(choices[3], Qt::LeftButton);
  EXPECT_EQ(settings.Secondary.DSR, 3);

  QTest::mouseClick(view.Widget(R::AssignAutomaticallyButton), Qt::LeftButton);
  EXPECT_EQ(Page(), static_cast<int>(RemapPage::Auto));
  EXPECT_TRUE(view.Widget(R::PressButton1Label)->font().bold());
  // Escape does nothing on the Auto page; the close box goes back to Manual.
  QTest::keyClick(view.Dialog(), Qt::Key_Escape);
  EXPECT_TRUE(view.Dialog()->isVisible());
  view.Dialog()->close();
  EXPECT_EQ(Page(), static_cast<int>(RemapPage::Manual));
  EXPECT_TRUE(view.Dialog()->isVisible());
  // On the Manual page Escape cancels: the stored map comes back.
  QTest::keyClick(view.Dialog(), Qt::Key_Escape);
  EXPECT_FALSE(view.Dialog()->isVisible());
  EXPECT_EQ(settings.Secondary.DSR, 2);
}

TEST_F(RemapDialogViewTest, EnterPressesOkOnTheManualPageOnly) {
  QTest::mouseClick(view.Widget(R::AssignAutomaticallyButton), Qt::LeftButton);
  QTest::keyClick(view.Dialog(), Qt::Key_Return);
  EXPECT_TRUE(presenter.IsShown());
  QTest::mouseClick(view.Widget(R::AutoCancelButton), Qt::LeftButton);
  QTest::keyClick(view.Dialog(), Qt::Key_Return);
  EXPECT_FALSE(presenter.IsShown());
  EXPECT_FALSE(view.Dialog()->isVisible());
}

}  // namespace
}  // namespace pelorin::qt
