#include "ConfigurationLoader.h"

#include <cerrno>
#include <filesystem>

#include "ConfigurationLines.h"
#include "ConfigurationValues.h"
#include "DbfErrors.h"
#include "ProgramConfiguration.h"
#include "ProgramFiles.h"
#include "ResultsTable.h"
#include "TemplateBitmap.h"
#include "Unit3.h"
#include "WindowParts.h"

namespace app {

namespace {

const QString kTemplateMissing = QStringLiteral("Předloha v souboru  %1 nenalezena ! ");
const QString kDiscardRecordQuestion = QStringLiteral("Rozpracovaný záznam nebude uložen. Načíst novou konfiguraci?");

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

}  // namespace

TConfigurationLoader::TConfigurationLoader(TConfigurationEditorView& editor, TLoadedConfigurationView& main_window,
                                           TDataModule3& data_module)
    : editor_(editor), main_window_(main_window), data_module_(data_module) {}

// A missing template is only reported: the image keeps its picture and the load goes on.
void TConfigurationLoader::LoadTemplate(const QString& file_name) {
  main_window_.ShowTemplateName(file_name);
  if (const std::optional<QString> existing = ExistingFile(file_name)) {
    main_window_.ShowTemplate(LoadTemplateBitmap(*existing));
  } else {
    dbf::Dialogs().message(ApplicationTitle(), kTemplateMissing.arg(file_name));
  }
}

// A table that is open already (an earlier load) is closed first: an open table cannot be
// renamed. A bare name lies in the program's folder whatever folder an earlier load
// named, and a missing table gets the results fields whatever file an earlier open left
// its definitions from. The navigator starts over with the insert button, as the hint of
// the load asks.
void TConfigurationLoader::OpenResultsTable(const std::string& file_name) {
  main_window_.ShowResultsTableName(QString::fromStdString(file_name));
  dbf::TDbf& table = data_module_.Dbf1;
  table.close();
  table.SetFilePath("");
  table.SetTableName(file_name);
  tarni::declare_results_field_defs(table.FieldDefs());
  CreateMissingResultsTable(table);
  table.open();
  // A table that cannot take results (its layout cannot be written) ends the load with
  // the reason, once, and stays closed, as one that lacks a field.
  if (!table.canModify()) {
    const std::string reason = table.cannotModifyReason();
    table.close();
    throw dbf::EDatabaseError(reason);
  }
  main_window_.ShowResultsTableReopened();
}

// Reads the chosen file into the editor and its values into a copy of the test
// configuration, which replaces the one in effect only when every value was read.
void TConfigurationLoader::LoadFrom(const QString& existing, const QString& name) {
  const QString text = ReadConfigurationText(existing);
  editor_.ShowConfigurationText(text);
  const QString bare_name = BareFileName(name);
  editor_.ShowFileName(bare_name);
  main_window_.ShowConfigurationName(bare_name);

  tarni::TestConfiguration configuration = Configuration();
  tarni::LoadSteps steps;
  steps.value_read = [this](size_t line, const std::string& value) {
    editor_.ShowValue(line, QString::fromStdString(value));
  };
  steps.template_named = [this, &configuration] {
    LoadTemplate(QString::fromStdString(configuration.template_file_name()));
  };
  steps.table_named = [this, &configuration] { OpenResultsTable(configuration.table_file_name()); };
  tarni::read_configuration_values(tarni::ConfigurationLines(text.toStdString()), configuration, steps);
  Configuration() = configuration;
  main_window_.ShowInsertFirstHint(true);
}

void TConfigurationLoader::Load() {
  if (data_module_.ResultsRecordInProgress() && !dbf::Dialogs().confirm(ApplicationTitle(), kDiscardRecordQuestion)) {
    return;
  }
  const QString name = editor_.ChooseConfigurationFile();
  editor_.ShowFileName(name);
  const std::optional<QString> existing = ExistingFile(name);
  if (!existing) return;
  try {
    LoadFrom(*existing, name);
  } catch (...) {
    // A half-read configuration scores nobody: no subject is stored until a load succeeds.
    main_window_.ShowInsertFirstHint(false);
    dbf::RunReported([this] { data_module_.Dbf1.close(); });
    throw;
  }
}

}  // namespace app
