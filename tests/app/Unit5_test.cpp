// The help window: fourteen fixed lines that can be read and copied but not changed, and
// "Návrat" or the close box hide it.
#include "Unit5.h"

#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

#include "ProgramTestSupport.h"
#include "Unit1.h"

namespace app::testing {
namespace {

using Help = TProgramTest;

TEST_F(Help, FourteenFixedLinesThatTypingDoesNotChange) {
  Trigger(Form1->HELP1);
  const QString text = Form5->Memo1->toPlainText();
  std::vector<qsizetype> lengths;
  for (const QString& line : text.split(QLatin1Char('\n'))) lengths.push_back(line.size());
  EXPECT_EQ(lengths, (std::vector<qsizetype>{32, 49, 46, 25, 56, 37, 63, 31, 71, 20, 57, 63, 10, 52}));

  Form5->Memo1->setFocus();
  QTest::keyClicks(Form5->Memo1, QStringLiteral("xyz"));
  QTest::keyClick(Form5->Memo1, Qt::Key_Delete);
  Trigger(Form1->HELP1);
  EXPECT_TRUE(Form5->isVisible());
  EXPECT_EQ(Form5->Memo1->toPlainText(), text);

  Click(Form5->Button1);
  EXPECT_FALSE(Form5->isVisible());
  Trigger(Form1->HELP1);
  Form5->close();
  EXPECT_FALSE(Form5->isVisible());
  EXPECT_EQ(Form5, Form5->window()) << "closing only hides it";
}

}  // namespace
}  // namespace app::testing
