#include "ConfigurationLoader.h"

#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <cerrno>
#include <filesystem>

#include "ConfigurationLines.h"
#include "ConfigurationValues.h"
#include "ProgramConfiguration.h"
#include "ProgramFiles.h"
#include "ResultsTable.h"
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

// A missing template is only reported: the image keeps its picture and the load goes on.
void LoadTemplate(const QString& file_name) {
  SetLabelText(Form1->Label29, file_name);
  if (const std::optional<QString> existing = ExistingFile(file_name)) {
    Form1->Image1->SetPicture(LoadTemplateBitmap(*existing));
  } else {
    dbf::Dialogs().message(ApplicationTitle(), kTemplateMissing.arg(file_name));
  }
}

// Exclusively: a table that another copy of the program created a moment ago is opened
// as it stands, never emptied.
void CreateMissingResultsTable(dbf::TDbf& table) {
  std::error_code error;
  if (std::filesystem::exists(table.FullName(), error)) return;
  try {
    table.createNewTable();
  } catch (const dbf::EDbfFileError& refusal) {
    if (refusal.SystemError() != EEXIST) throw;
  }
}

// A table that is open already (an earlier load) is closed first: an open table cannot be
// renamed. A bare name lies in the program's folder whatever folder an earlier load
// named, and a missing table gets the results fields whatever file an earlier open left
// its definitions from. The navigator starts over with the insert button, as the hint of
// the load asks.
void OpenResultsTable(const std::string& file_name) {
  SetLabelText(Form1->Label24, QString::fromStdString(file_name));
  dbf::TDbf& table = DataModule3->Dbf1;
  table.close();
  table.SetFilePath("");
  table.SetTableName(file_name);
  tarni::declare_results_field_defs(table.FieldDefs());
  CreateMissingResultsTable(table);
  table.open();
  Form1->DBNavigator1->SetVisibleButtons(TForm1::kStartButtons);
}

// Reads the chosen file into the editor and its values into a copy of the test
// configuration, which replaces the one in effect only when every value was read.
void LoadFrom(const QString& existing, const QString& name) {
  const QString text = ReadConfigurationText(existing);
  Form2->Memo1->setPlainText(text);
  const QString bare_name = BareFileName(name);
  Form2->Edit1->setText(bare_name);
  SetLabelText(Form1->Label11, bare_name);

  tarni::TestConfiguration configuration = Configuration();
  tarni::LoadSteps steps;
  steps.value_read = [](size_t line, const std::string& value) {
    Form2->ShowValue(line, QString::fromStdString(value));
  };
  steps.template_named = [&configuration] { LoadTemplate(QString::fromStdString(configuration.template_file_name())); };
  steps.table_named = [&configuration] { OpenResultsTable(configuration.table_file_name()); };
  tarni::read_configuration_values(tarni::ConfigurationLines(text.toStdString()), configuration, steps);
  Configuration() = configuration;
  Form1->Label27->setVisible(true);
}

}  // namespace

void LoadConfiguration() {
  if (DataModule3->ResultsRecordInProgress() && !dbf::Dialogs().confirm(ApplicationTitle(), kDiscardRecordQuestion)) {
    return;
  }
  const QString name = Form2->ChooseConfigurationFile();
  Form2->Edit1->setText(name);
  const std::optional<QString> existing = ExistingFile(name);
  if (!existing) return;
  try {
    LoadFrom(*existing, name);
  } catch (...) {
    // A half-read configuration scores nobody: no subject is stored until a load succeeds.
    Form1->Label27->setVisible(false);
    dbf::RunReported([] { DataModule3->Dbf1.close(); });
    throw;
  }
}

}  // namespace app
