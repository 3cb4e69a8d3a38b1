// Screen readers meet each control's name once in its window: the accessible that holds a
// control's content carries the name, never also a frame around it (the subjects
// browser's grid is named on its table, not also on the frame around the table).
#include <QAccessible>
#include <QMap>
#include <QTableView>

#include "ProgramTestSupport.h"
#include "TDBGrid.h"
#include "Unit1.h"
#include "Unit2.h"
#include "Unit4.h"
#include "Unit5.h"

namespace app::testing {
namespace {

using Accessibility = TProgramTest;

// How often each name stands in the accessibility tree from `accessible` down.
void CountNames(QAccessibleInterface* accessible, QMap<QString, int>& counts) {
  const QString name = accessible->text(QAccessible::Name);
  if (!name.isEmpty()) ++counts[name];
  for (int i = 0; i < accessible->childCount(); ++i) CountNames(accessible->child(i), counts);
}

TEST_F(Accessibility, EachControlsNameIsMetOnceInItsWindow) {
  const QWidget* windows[] = {Form1, Form2, Form4, Form5};
  for (const QWidget* window : windows) {
    SCOPED_TRACE(window->objectName().toStdString());
    QMap<QString, int> counts;
    CountNames(QAccessible::queryAccessibleInterface(const_cast<QWidget*>(window)), counts);
    for (const QWidget* control : window->findChildren<QWidget*>()) {
      if (control->objectName().isEmpty() || !counts.contains(control->objectName())) continue;
      EXPECT_EQ(counts[control->objectName()], 1) << control->objectName().toStdString();
    }
  }
  QAccessibleInterface* table = QAccessible::queryAccessibleInterface(Form4->DBGrid1->View());
  EXPECT_EQ(table->text(QAccessible::Name), "DBGrid1");
  EXPECT_EQ(table->role(), QAccessible::Table);
}

}  // namespace
}  // namespace app::testing
