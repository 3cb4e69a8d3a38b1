#include "Unit1.h"

#include <QAction>
#include <QCloseEvent>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>

#include "BuiltInTemplate.h"
#include "ConfigurationLoader.h"
#include "ProgramConfiguration.h"
#include "ResultsTable.h"
#include "TDBEdit.h"
#include "TImage.h"
#include "Unit2.h"
#include "Unit3.h"
#include "Unit4.h"
#include "Unit5.h"
#include "WindowParts.h"

TForm1* Form1 = nullptr;

namespace {

using dbf::TNavButtonFlag;
using dbf::TNavigateBtn;

const QString kCaption = QStringLiteral(" Vyhodnocení TARNI  v 1.2");

const QString kConfigurationCaption = QStringLiteral("soubor ini. :");
const QString kResultsTableCaption = QStringLiteral("DBF  TARNI:");
const QString kSubjectsTableCaption = QStringLiteral("DBF probandů :");
const QString kTemplateCaption = QStringLiteral("předloha.bmp :");
const QString kSurnameCaption = QStringLiteral("přijmení:");
const QString kFirstNameCaption = QStringLiteral("jméno:");
const QString kBirthNumberCaption = QStringLiteral("rč.");
const QString kBirthNumberSeparator = QStringLiteral("/");
const QString kCopyIdentityCaption = QStringLiteral("vezmi z DBF probandů");
const QString kInsertFirstHint = QStringLiteral("Nejprve klikni na  +");
const QString kItemNumberCaption = QStringLiteral("pořadí ot.:");
const QString kAnswersCaption = QStringLiteral("odpovědi :");
const QString kBackCaption = QStringLiteral("<  zpět");
const QString kErrorCaption = QStringLiteral("C H Y B A");
const QString kEvaluationCaption = QStringLiteral("Vyhodnocení");
const QString kReturnCaption = QStringLiteral("Návrat");
const QString kEndOfSubjectsMessage = QStringLiteral("V DBF soubor probandů jste na poslední větě!");
const QString kOverwriteQuestion = QStringLiteral("Uložený záznam bude přepsán. Pokračovat?");
const QString kEndQuestion = QStringLiteral("Rozpracovaný záznam nebude uložen. Ukončit program?");

const QString kLoadMenuCaption = QStringLiteral("Nataženi dat");
const QString kLoadConfigurationCaption = QStringLiteral("ini souboru");
const QString kEditorCaption = QStringLiteral("INI edit");
const QString kBrowserCaption = QStringLiteral("DBF probandů");
const QString kHelpCaption = QStringLiteral("Help");
const QString kEndCaption = QStringLiteral("Konec");

// The navigator's hints in button order; shown on this bar only.
const QStringList kNavigatorHints = {QStringLiteral("First record"), QStringLiteral("Prior record"),
                                     QStringLiteral("Next record"),  QStringLiteral("Last record"),
                                     QStringLiteral("Nový záznam"),  QStringLiteral("Zrušit záznam"),
                                     QStringLiteral("Edit record"),  QStringLiteral("potvrdit + vyhodnotit"),
                                     QStringLiteral("zrušit povel"), QStringLiteral("Refresh data")};

const dbf::TButtonSet kAfterInsertButtons = {TNavButtonFlag::nbDelete, TNavButtonFlag::nbPost,
                                             TNavButtonFlag::nbCancel};
const dbf::TButtonSet kAfterPostButtons = {TNavButtonFlag::nbInsert, TNavButtonFlag::nbDelete,
                                           TNavButtonFlag::nbCancel};

struct ResultRow {
  const char* caption_name;
  const char* caption;
  int caption_left;
  const char* value_name;
};

// The six results in the order of the evaluation, captions right-aligned by hand.
const std::array<ResultRow, 6> kResultRows = {{
    {"Label5", "poč. spr.:", 56, "Label16"},
    {"Label7", "poč. chyb :", 48, "Label17"},
    {"Label12", "poč. AGR v a :", 32, "Label18"},
    {"Label13", "poč. SM v b :", 40, "Label19"},
    {"Label14", "AGR / poč. spr.:", 24, "Label20"},
    {"Label15", "SM / poč. spr. :", 32, "Label21"},
}};
constexpr int kResultTop = 24;
constexpr int kResultStep = 24;
constexpr int kResultValueLeft = 128;

const QColor kRed(Qt::red);
const QColor kSilver(192, 192, 192);

void SetTextColor(QWidget* widget, const QColor& color) {
  QPalette palette = widget->palette();
  palette.setColor(QPalette::WindowText, color);
  widget->setPalette(palette);
}

void SetBackground(QWidget* widget, const QColor& color) {
  QPalette palette = widget->palette();
  palette.setColor(QPalette::Window, color);
  widget->setPalette(palette);
  widget->setAutoFillBackground(true);
}

dbf::TDBEdit* PlaceEdit(QWidget* parent, const char* name, const char* field, const QRect& geometry) {
  auto* edit = new dbf::TDBEdit(parent);
  app::NameControl(edit, name);
  edit->setGeometry(geometry);
  edit->SetDataField(field);
  return edit;
}

QString FromUtf8(const std::string& text) { return QString::fromStdString(text); }

}  // namespace

const dbf::TButtonSet TForm1::kStartButtons = {TNavButtonFlag::nbInsert, TNavButtonFlag::nbDelete,
                                               TNavButtonFlag::nbPost, TNavButtonFlag::nbCancel};

TForm1::TForm1(QWidget* parent)
    : QMainWindow(parent, Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint) {
  setObjectName(QStringLiteral("Form1"));
  setWindowTitle(kCaption);
  setFont(app::DefaultWindowFont());
  BuildMenu();

  auto* client = new QWidget(this);
  setCentralWidget(client);

  Label10 = app::PlaceLabel(client, "Label10", kConfigurationCaption, 24, 0);
  Label11 = app::PlaceLabel(client, "Label11", QString(), 80, 0);
  Label23 = app::PlaceLabel(client, "Label23", kResultsTableCaption, 20, 16);
  Label24 = app::PlaceLabel(client, "Label24", QString(), 80, 16);
  Label25 = app::PlaceLabel(client, "Label25", kSubjectsTableCaption, 4, 32);
  Label26 = app::PlaceLabel(client, "Label26", QString(), 88, 32);
  Label28 = app::PlaceLabel(client, "Label28", kTemplateCaption, 8, 48);
  Label29 = app::PlaceLabel(client, "Label29", QString(), 88, 48);
  BuildIdentityPanel(client);

  Label27 = app::PlaceLabel(client, "Label27", kInsertFirstHint, 288, 64);
  SetTextColor(Label27, kRed);
  Label27->setVisible(false);

  DBNavigator1 = new dbf::TDBNavigator(client);
  DBNavigator1->setObjectName(QStringLiteral("DBNavigator1"));
  DBNavigator1->setGeometry(416, 56, 184, 25);
  DBNavigator1->SetHints(kNavigatorHints);
  DBNavigator1->SetShowHint(true);
  DBNavigator1->SetVisibleButtons(kStartButtons);
  DBNavigator1->BeforeAction = [this](dbf::TDBNavigator&, TNavigateBtn button) {
    return DBNavigator1BeforeAction(button);
  };
  DBNavigator1->OnClick = [this](dbf::TDBNavigator&, TNavigateBtn button) {
    dbf::RunReported([this, button] { DBNavigator1Click(button); });
  };

  BuildAnswerEntry(client);
  BuildEvaluationPanel(client);
  SetTabOrder();
  StretchToWorkArea();
  FormCreate();
}

// The controls keep their places (designed for a client area of 1024 x 702); the frame
// fills the desktop's work area and the examiner cannot resize it.
void TForm1::StretchToWorkArea() {
  app::SetOuterGeometry(this, screen()->availableGeometry());
  setFixedSize(size());
}

void TForm1::BindToDataModule() {
  for (dbf::TDBEdit* box : {DBEdit1, DBEdit2, DBEdit3, DBEdit5, DBEdit4}) {
    box->SetDataSource(&DataModule3->DataSource1);
  }
  DBNavigator1->SetDataSource(&DataModule3->DataSource1);
}

void TForm1::BuildMenu() {
  menuBar()->setObjectName(QStringLiteral("MainMenu1"));
  Nataenidat1 = menuBar()->addMenu(kLoadMenuCaption);
  Nataenidat1->setObjectName(QStringLiteral("Nataenidat1"));
  inisouboru1 = Nataenidat1->addAction(kLoadConfigurationCaption, this, app::Reported(this, &TForm1::inisouboru1Click));
  inisouboru1->setObjectName(QStringLiteral("inisouboru1"));
  INIsoubor1 = menuBar()->addAction(kEditorCaption, this, app::Reported(this, &TForm1::INIsoubor1Click));
  INIsoubor1->setObjectName(QStringLiteral("INIsoubor1"));
  DBFproband1 = menuBar()->addAction(kBrowserCaption, this, app::Reported(this, &TForm1::DBFproband1Click));
  DBFproband1->setObjectName(QStringLiteral("DBFproband1"));
  HELP1 = menuBar()->addAction(kHelpCaption, this, app::Reported(this, &TForm1::HELP1Click));
  HELP1->setObjectName(QStringLiteral("HELP1"));
  konec1 = menuBar()->addAction(kEndCaption, this, app::Reported(this, &TForm1::konec1Click));
  konec1->setObjectName(QStringLiteral("konec1"));
}

void TForm1::BuildIdentityPanel(QWidget* client) {
  Panel1 = new QFrame(client);
  Panel1->setObjectName(QStringLiteral("Panel1"));
  Panel1->setFrameStyle(QFrame::Panel | QFrame::Raised);
  Panel1->setGeometry(168, 8, 593, 41);

  Label1 = app::PlaceLabel(Panel1, "Label1", kSurnameCaption, 8, 8);
  DBEdit1 = PlaceEdit(Panel1, "DBEdit1", "PRIJMENI", QRect(56, 8, 121, 21));
  Label2 = app::PlaceLabel(Panel1, "Label2", kFirstNameCaption, 216, 8);
  DBEdit2 = PlaceEdit(Panel1, "DBEdit2", "JMENO", QRect(256, 8, 121, 21));
  Label3 = app::PlaceLabel(Panel1, "Label3", kBirthNumberCaption, 408, 8);
  DBEdit3 = PlaceEdit(Panel1, "DBEdit3", "RC1", QRect(424, 8, 65, 21));
  Label22 = app::PlaceLabel(Panel1, "Label22", QString(), 496, 8);
  Label22->setFont(app::FontOf(app::DefaultWindowFont().family(), 23));
  app::SetLabelText(Label22, kBirthNumberSeparator);
  DBEdit5 = PlaceEdit(Panel1, "DBEdit5", "RC2", QRect(512, 8, 41, 21));
  for (dbf::TDBEdit* box : {DBEdit1, DBEdit2, DBEdit3, DBEdit5}) {
    box->OnKeyPress = [this](dbf::TDBEdit& sender, QChar& key) { DBEdit1KeyPress(sender, key); };
  }

  Button4 = app::PlaceButton(client, "Button4", kCopyIdentityCaption, QRect(792, 16, 121, 25));
  connect(Button4, &QPushButton::clicked, this, app::Reported(this, &TForm1::Button4Click));
}

void TForm1::BuildAnswerEntry(QWidget* client) {
  Label4 = app::PlaceLabel(client, "Label4", kItemNumberCaption, 8, 80);

  StaticText1 = new QLabel(client);
  app::NameCaptionedControl(StaticText1, "StaticText1");
  StaticText1->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  StaticText1->setFont(app::FontOf(app::DefaultWindowFont().family(), 19));
  SetTextColor(StaticText1, kRed);
  SetBackground(StaticText1, kSilver);
  StaticText1->move(64, 72);
  SetStaticText1(QStringLiteral("1"));

  StaticText2 = new QLabel(client);
  app::NameCaptionedControl(StaticText2, "StaticText2");
  // A plain frame is drawn in the text colour; the box's line stays black under red digits.
  StaticText2->setStyleSheet(
      QStringLiteral("QLabel { color: red; background-color: white; border: 1px solid black; }"));
  StaticText2->setAlignment(Qt::AlignCenter);
  StaticText2->setFont(app::FontOf(QStringLiteral("Arial"), 64));
  StaticText2->setGeometry(144, 72, 81, 65);

  Label6 = app::PlaceLabel(client, "Label6", kAnswersCaption, 264, 88);
  DBEdit4 = PlaceEdit(client, "DBEdit4", "ODPOVEDI", QRect(320, 88, 457, 21));
  DBEdit4->SetReadOnly(true);
  DBEdit4->setEnabled(false);

  Image1 = new TImage(client);
  app::NameControl(Image1, "Image1");
  Image1->setGeometry(16, 112, 801, 569);
  Image1->SetPicture(app::BuiltInTemplate());
  Image1->OnMouseDown = [this](TImage& sender, Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int y) {
    Image1MouseDown(sender, button, shift, x, y);
  };
  Image1->OnMouseUp = [this](TImage& sender, Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int y) {
    Image1MouseUp(sender, button, shift, x, y);
  };
  // The chosen-picture box lies over the template's top strip and stays in front of it.
  StaticText2->raise();

  Button2 = app::PlaceButton(client, "Button2", kBackCaption, QRect(824, 176, 161, 41));
  connect(Button2, &QPushButton::clicked, this, app::Reported(this, &TForm1::Button2Click));
  Button1 = app::PlaceButton(client, "Button1", kErrorCaption, QRect(824, 264, 99, 377));
  connect(Button1, &QPushButton::clicked, this, app::Reported(this, &TForm1::Button1Click));
}

void TForm1::BuildEvaluationPanel(QWidget* client) {
  GroupBox1 = new QGroupBox(kEvaluationCaption, client);
  app::NameCaptionedControl(GroupBox1, "GroupBox1");
  GroupBox1->setGeometry(304, 136, 321, 233);
  // The panel covers the picture under it, as a panel of its own colour does.
  GroupBox1->setAutoFillBackground(true);
  for (size_t row = 0; row < kResultRows.size(); ++row) {
    const ResultRow& result = kResultRows[row];
    const int top = kResultTop + static_cast<int>(row) * kResultStep;
    ResultCaptions[row] =
        app::PlaceLabel(GroupBox1, result.caption_name, QString::fromUtf8(result.caption), result.caption_left, top);
    ResultValues[row] = app::PlaceLabel(GroupBox1, result.value_name, QString(), kResultValueLeft, top);
  }
  Button3 = app::PlaceButton(GroupBox1, "Button3", kReturnCaption, QRect(136, 200, 75, 25));
  connect(Button3, &QPushButton::clicked, this, app::Reported(this, &TForm1::Button3Click));
  GroupBox1->setVisible(false);
  GroupBox1->raise();
}

void TForm1::SetTabOrder() {
  const std::array<QWidget*, 10> order = {DBEdit1, DBEdit2, DBEdit3, DBEdit5,      Button1,
                                          Button2, Button3, DBEdit4, DBNavigator1, Button4};
  for (size_t k = 0; k + 1 < order.size(); ++k) setTabOrder(order[k], order[k + 1]);
}

void TForm1::SetStaticText1(const QString& text) {
  StaticText1->setText(text);
  StaticText1->adjustSize();
}

void TForm1::FormCreate() { novy_proband(); }

void TForm1::ShowAnswerDisplays(const tarni::AnswerDisplays& displays) {
  if (displays.item_number) SetStaticText1(FromUtf8(*displays.item_number));
  if (displays.chosen_picture) StaticText2->setText(FromUtf8(*displays.chosen_picture));
  const QString box_text = DBEdit4->text();
  const QString edited = FromUtf8(displays.answer_box.applied_to(box_text.toStdString()));
  if (edited != box_text) DBEdit4->setText(edited);
}

void TForm1::novy_proband() {
  for (dbf::TDBEdit* box : {DBEdit1, DBEdit2, DBEdit3, DBEdit5, DBEdit4}) box->setText(QString());
  ShowAnswerDisplays(answers_.novy_proband());
}

void TForm1::urci_obr(int x, int y) { ShowAnswerDisplays(answers_.urci_obr(x, y)); }

void TForm1::vyhodnoceni() {
  results_ = tarni::vyhodnoceni(answers_, app::Configuration());
  const std::array<QString, 6> values = {QString::number(results_.correct_count), QString::number(results_.error_count),
                                         QString::number(results_.agr_sum),       QString::number(results_.sm_sum),
                                         FromUtf8(results_.agr_ratio_text),       FromUtf8(results_.sm_ratio_text)};
  for (size_t row = 0; row < values.size(); ++row) app::SetLabelText(ResultValues[row], values[row]);
  GroupBox1->setVisible(true);
}

void TForm1::Image1MouseDown(TImage&, Qt::MouseButton, Qt::KeyboardModifiers, int x, int y) { urci_obr(x, y); }

void TForm1::Image1MouseUp(TImage&, Qt::MouseButton, Qt::KeyboardModifiers, int, int) {
  ShowAnswerDisplays(tarni::AnswerList::release_template());
}

void TForm1::Button1Click() { ShowAnswerDisplays(answers_.record_error()); }

void TForm1::Button2Click() { ShowAnswerDisplays(answers_.take_back()); }

void TForm1::Button3Click() { GroupBox1->setVisible(false); }

void TForm1::Button4Click() {
  Form4->setVisible(false);
  const dbf::TDbf& subjects = DataModule3->Dbf2;
  if (!subjects.Active()) return;
  app::SetLabelText(Label26, FromUtf8(subjects.TableName()));
  const std::array<dbf::TDBEdit*, tarni::kIdentityPartCount> boxes = {DBEdit1, DBEdit2, DBEdit3, DBEdit5};
  tarni::copy_subject_identity(subjects, [&boxes](tarni::IdentityPart part, const std::string& text) {
    boxes[static_cast<size_t>(part)]->setText(FromUtf8(text));
  });
  if (subjects.atEof()) {
    dbf::Dialogs().message(app::ApplicationTitle(), kEndOfSubjectsMessage);
  } else {
    DataModule3->Dbf2.moveNext();
  }
}

// A post outside an insert changes a stored subject: an examiner who forgot "+" and typed
// or clicked into the record on show would overwrite that subject.
bool TForm1::DBNavigator1BeforeAction(TNavigateBtn button) {
  if (button != TNavigateBtn::nbPost || DataModule3->Dbf1.state() != dbf::TDataSetState::StateEdit) return true;
  return dbf::Dialogs().confirm(app::ApplicationTitle(), kOverwriteQuestion);
}

void TForm1::DBNavigator1Click(TNavigateBtn button) {
  switch (button) {
    case TNavigateBtn::nbInsert:
      novy_proband();
      Label27->setVisible(false);
      DBNavigator1->SetVisibleButtons(kAfterInsertButtons);
      break;
    case TNavigateBtn::nbPost:
      vyhodnoceni();
      StoreEvaluation();
      DBNavigator1->SetVisibleButtons(kAfterPostButtons);
      break;
    // Without "+" the only ways on would be a reload or overwriting a stored subject.
    case TNavigateBtn::nbCancel:
    case TNavigateBtn::nbDelete:
      DBNavigator1->SetVisibleButtons(kStartButtons);
      break;
    default:
      break;
  }
}

// The record just stored gets its results: edited, the six result fields set, stored again.
void TForm1::StoreEvaluation() {
  dbf::TDbf& results_table = DataModule3->Dbf1;
  results_table.startEdit();
  tarni::write_evaluation(DataModule3->Dbf1Fields, results_);
  results_table.post();
}

void TForm1::DBEdit1KeyPress(dbf::TDBEdit&, QChar& key) {
  if (key != QChar(u'\r')) return;
  key = QChar();
  focusNextChild();
}

void TForm1::inisouboru1Click() { app::TConfigurationLoader(*Form2, *this, *DataModule3).Load(); }

void TForm1::ShowConfigurationName(const QString& bare_name) { app::SetLabelText(Label11, bare_name); }

void TForm1::ShowTemplateName(const QString& file_name) { app::SetLabelText(Label29, file_name); }

void TForm1::ShowTemplate(const QImage& picture) { Image1->SetPicture(picture); }

void TForm1::ShowResultsTableName(const QString& file_name) { app::SetLabelText(Label24, file_name); }

void TForm1::ShowResultsTableReopened() { DBNavigator1->SetVisibleButtons(kStartButtons); }

void TForm1::ShowInsertFirstHint(bool shown) { Label27->setVisible(shown); }

void TForm1::INIsoubor1Click() { app::ShowInFront(Form2); }

void TForm1::DBFproband1Click() { app::ShowInFront(Form4); }

void TForm1::HELP1Click() { app::ShowInFront(Form5); }

void TForm1::konec1Click() { close(); }

void TForm1::closeEvent(QCloseEvent* event) {
  if (DataModule3 != nullptr && DataModule3->ResultsRecordInProgress() &&
      !dbf::Dialogs().confirm(app::ApplicationTitle(), kEndQuestion)) {
    event->ignore();
    return;
  }
  event->accept();
  emit ProgramEnded();
}
