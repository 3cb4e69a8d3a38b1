#include "Unit2.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QTextDocument>

#include "ConfigurationLines.h"
#include "ConfigurationValues.h"
#include "ProgramConfiguration.h"
#include "ProgramFiles.h"
#include "SampleConfiguration.h"
#include "WindowParts.h"

TForm2* Form2 = nullptr;

namespace {

const QString kCaption = QStringLiteral("Instalační  soubor");
const QString kFileNameCaption = QStringLiteral("jméno souboru:");
const QString kFileNameAtStart = QStringLiteral("Edit1");
const QString kFileMenuCaption = QStringLiteral("Soubor ini");
const QString kOpenCaption = QStringLiteral("Otevřít");
const QString kSaveCaption = QStringLiteral("Uložit");
const QString kNewCaption = QStringLiteral("Nový");
const QString kTestCaption = QStringLiteral("Test konfig");

const QString kConfigurationPattern = QStringLiteral("*.ini");
const QString kConfigurationFilter = QStringLiteral("|*.ini");
const QString kSampleFile = QStringLiteral("vzor1.txt");
const QString kNewFileName = QStringLiteral("novy.ini");
const QString kDefaultExtension = QStringLiteral(".ini");

constexpr int kValueLabelsLeft = 2;
constexpr int kValueLabelsTop = 64;
constexpr int kValueLabelsStep = 16;

}  // namespace

TForm2::TForm2(QWidget* parent)
    : QMainWindow(parent, Qt::Dialog | Qt::WindowMinMaxButtonsHint | Qt::WindowCloseButtonHint) {
  setObjectName(QStringLiteral("Form2"));
  setWindowTitle(kCaption);
  setFont(app::DefaultWindowFont());
  app::SetOuterGeometry(this, QRect(165, 157, 696, 367));

  menuBar()->setObjectName(QStringLiteral("MainMenu1"));
  SouborINI1 = menuBar()->addMenu(kFileMenuCaption);
  SouborINI1->setObjectName(QStringLiteral("SouborINI1"));
  otevt1 = SouborINI1->addAction(kOpenCaption, this, app::Reported(this, &TForm2::otevt1Click));
  otevt1->setObjectName(QStringLiteral("otevt1"));
  uloit1 = SouborINI1->addAction(kSaveCaption, this, app::Reported(this, &TForm2::uloit1Click));
  uloit1->setObjectName(QStringLiteral("uloit1"));
  Nov2 = SouborINI1->addAction(kNewCaption, this, app::Reported(this, &TForm2::Nov2Click));
  Nov2->setObjectName(QStringLiteral("Nov2"));
  Testkonfig1 = menuBar()->addAction(kTestCaption, this, app::Reported(this, &TForm2::Testkonfig1Click));
  Testkonfig1->setObjectName(QStringLiteral("Testkonfig1"));

  auto* client = new QWidget(this);
  setCentralWidget(client);

  Label10 = app::PlaceLabel(client, "Label10", kFileNameCaption, 136, 16);
  Edit1 = new QLineEdit(kFileNameAtStart, client);
  app::NameControl(Edit1, "Edit1");
  Edit1->setGeometry(224, 16, 345, 21);

  Memo1 = new QPlainTextEdit(client);
  app::NameControl(Memo1, "Memo1");
  Memo1->setGeometry(224, 48, 417, 177);
  Memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  Memo1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  Memo1->setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);

  Memo2 = new QPlainTextEdit(client);
  app::NameControl(Memo2, "Memo2");
  Memo2->setGeometry(136, 48, 449, 169);
  Memo2->setPlainText(SampleConfigurationText());
  Memo2->setVisible(false);

  for (size_t k = 0; k < ValueLabels.size(); ++k) {
    const QByteArray name = "Label" + QByteArray::number(static_cast<int>(k + 1));
    ValueLabels[k] = app::PlaceLabel(client, name.constData(), QString(), kValueLabelsLeft,
                                     kValueLabelsTop + static_cast<int>(k) * kValueLabelsStep);
  }

  OpenDialog1.filter = kConfigurationFilter;
}

QString TForm2::ChooseConfigurationFile() {
  OpenDialog1.file_name = kConfigurationPattern;
  if (const std::optional<QString> chosen = dbf::OpenFileDialog(OpenDialog1)) {
    app::Configuration().config_file_name = chosen->toStdString();
  }
  return QString::fromStdString(app::Configuration().config_file_name);
}

// toPlainText would give a no-break space as a space; the raw text keeps it and marks
// line ends with the separators.
QString TForm2::TypedText() const {
  QString text = Memo1->document()->toRawText();
  text.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
  text.replace(QChar::LineSeparator, QLatin1Char('\n'));
  return text;
}

void TForm2::ShowValue(size_t line, const QString& value) { app::SetLabelText(ValueLabels.at(line - 1), value); }

void TForm2::ShowFileName(const QString& name) { Edit1->setText(name); }

void TForm2::ShowConfigurationText(const QString& text) { Memo1->setPlainText(text); }

void TForm2::otevt1Click() {
  const QString name = ChooseConfigurationFile();
  Edit1->setText(name);
  if (const std::optional<QString> existing = app::ExistingFile(Edit1->text())) {
    Memo1->setPlainText(app::ReadConfigurationText(*existing));
  }
  Edit1->setText(app::BareFileName(name));
}

void TForm2::uloit1Click() {
  const QString name = Edit1->text();
  // Only these two spellings count as the extension, as the editor always did.
  const QString ending = name.size() > 4 ? name.right(4) : QString();
  const bool has_extension = ending == QLatin1String(".INI") || ending == QLatin1String(".ini");
  const QString file = has_extension ? name : name + kDefaultExtension;
  // A file read under another letter case is written back, not joined by a second one.
  app::WriteConfigurationText(app::ExistingFile(file).value_or(file), TypedText());
}

void TForm2::Nov2Click() {
  app::WriteConfigurationText(kSampleFile, Memo2->toPlainText());
  Edit1->setText(kNewFileName);
  Memo1->setPlainText(app::ReadConfigurationText(kSampleFile));
}

void TForm2::Testkonfig1Click() {
  const tarni::ConfigurationLines lines(TypedText().toStdString());
  const auto values = tarni::configuration_value_texts(lines);
  for (size_t line = 1; line <= values.size(); ++line) {
    ShowValue(line, QString::fromStdString(values[line - 1]));
  }
}
