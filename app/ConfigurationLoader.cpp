#include "ConfigurationLoader.h"

#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <filesystem>

#include "ConfigurationLines.h"
#include "ConfigurationValues.h"
#include "DbfErrors.h"
#include "ProgramConfiguration.h"
#include "ProgramFiles.h"
#include "TImage.h"
#include "TemplateBitmap.h"
#include "Unit1.h"
#include "Unit2.h"
#include "Unit3.h"
#include "WindowParts.h"

namespace app {

namespace {

const QString kTemplateMissing = QStringLiteral("Předloha v souboru  %1 nenalezena ! ");
const QString kDiscardRecordQuestion = QStringLiteral("Rozpracovaný záznam nebude uložen. Načíst novou konfiguraci?");

bool RecordInProgress(const dbf::TDbf& table) {
  return table.state() == dbf::TDataSetState::StateInsert || table.state() == dbf::TDataSetState::StateEdit;
}

// A missing template is only reported: the image keeps its picture and the load goes on.
void LoadTemplate(const QString& file_name) {
  SetLabelText(Form1->Label29, file_name);
  if (const std::optional<QString> existing = ExistingFile(file_name)) {
    Form1->Image1->SetPicture(LoadTemplateBitmap(*existing));
  } else {
    dbf::Dialogs().message(ApplicationTitle(), kTemplateMissing.arg(file_name));
  }
}

// A table that is open already (an earlier load) is closed first: an open table cannot be
// renamed. The navigator starts over with the insert button, as the hint of the load asks.
void OpenResultsTable(const std::string& file_name) {
  SetLabelText(Form1->Label24, QString::fromStdString(file_name));
  dbf::TDbf& table = DataModule3->Dbf1;
  table.close();
  table.SetTableName(file_name);
  std::error_code error;
  if (!std::filesystem::exists(table.FullName(), error)) table.createTable();
  table.open();
  // A table that cannot take results (its layout cannot be written) ends the load with
  // the reason, once, and stays closed, as one that lacks a field.
  if (!table.canModify()) {
    const std::string reason = table.cannotModifyReason();
    table.close();
    throw dbf::EDatabaseError(reason);
  }
  Form1->DBNavigator1->SetVisibleButtons(TForm1::kStartButtons);
}

}  // namespace

void LoadConfiguration() {
  if (RecordInProgress(DataModule3->Dbf1) && !dbf::Dialogs().confirm(ApplicationTitle(), kDiscardRecordQuestion)) {
    return;
  }
  const QString name = Form2->ChooseConfigurationFile();
  Form2->Edit1->setText(name);
  const std::optional<QString> existing = ExistingFile(name);
  if (!existing) return;
  const QString text = ReadConfigurationText(*existing);
  Form2->Memo1->setPlainText(text);
  const QString bare_name = BareFileName(name);
  Form2->Edit1->setText(bare_name);
  SetLabelText(Form1->Label11, bare_name);

  tarni::TestConfiguration& configuration = Configuration();
  tarni::LoadSteps steps;
  steps.value_read = [](size_t line, const std::string& value) {
    Form2->ShowValue(line, QString::fromStdString(value));
  };
  steps.template_named = [&configuration] { LoadTemplate(QString::fromStdString(configuration.template_file_name())); };
  steps.table_named = [&configuration] { OpenResultsTable(configuration.table_file_name()); };
  tarni::read_configuration_values(tarni::ConfigurationLines(text.toStdString()), configuration, steps);
  Form1->Label27->setVisible(true);
}

}  // namespace app
