#include "Unit5.h"

#include <QPlainTextEdit>
#include <QPushButton>
#include <QStringList>

#include "WindowParts.h"

TForm5* Form5 = nullptr;

namespace {

const QString kCaption = QStringLiteral("Help");
const QString kReturnCaption = QStringLiteral("Návrat");

// The examiner's steps, each line exactly as it stands (spaces included).
const QStringList kHelpLines = {
    QStringLiteral(" 1. Kurzor myši na Natažení dat "),
    QStringLiteral(" 2. Klikni na ini soubor  otevři např(prikl1.ini)"),
    QStringLiteral(" 3. Klikni  na + na liště ovládáni  DBF (+-vx)"),
    QStringLiteral(" 4. Klik na DBF probandů "),
    QStringLiteral(" 5. Klik na  soubor dbf     otevři  např. (SK_00123.dbf)"),
    QStringLiteral(" 6. Klikni  na   vezmi z DBF probandů"),
    QStringLiteral(" 7. Klikni na obrázek odpovědi pří chybě  na tlačítko chyba při"),
    QStringLiteral("     opravě na tlačítko <zpět  "),
    QStringLiteral(" 8. Po zadáni všech odpovědí klikněte na  potvrzení ( fajfka ) na liště"),
    QStringLiteral("      ovládání DBF ."),
    QStringLiteral(" 9. Po zobrazení vyhodnocení klikněte na tlačítko návrat."),
    QStringLiteral("10.Další proband  klini na + a na tlačítko vezmi z DBF probandů"),
    QStringLiteral("      atd."),
    QStringLiteral("11. V položce INI edit je možno editovat ini sobory."),
};

}  // namespace

TForm5::TForm5(QWidget* parent)
    : QWidget(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint) {
  setObjectName(QStringLiteral("Form5"));
  setWindowTitle(kCaption);
  setFont(app::DefaultWindowFont());
  app::SetOuterGeometry(this, QRect(309, 168, 414, 280));

  Memo1 = new QPlainTextEdit(this);
  app::NameControl(Memo1, "Memo1");
  Memo1->setGeometry(24, 8, 353, 193);
  // The text can be selected and copied, from the keyboard too, but not changed.
  Memo1->setReadOnly(true);
  Memo1->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
  Memo1->setFocusPolicy(Qt::StrongFocus);
  Memo1->setPlainText(kHelpLines.join(QLatin1Char('\n')));

  Button1 = app::PlaceButton(this, "Button1", kReturnCaption, QRect(168, 216, 75, 25));
  connect(Button1, &QPushButton::clicked, this, app::Reported(this, &TForm5::Button1Click));
  setTabOrder(Memo1, Button1);
}

void TForm5::Button1Click() { setVisible(false); }
