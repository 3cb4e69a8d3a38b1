// The configuration loader: every value label follows the load as far as it gets; a
// missing template is only reported; a file that is not a whole bitmap, a value that is
// not an integer (missing lines included) and a results file without the eleven fields
// end the load where they stand; the program stays usable and no stored subject is lost.
// A second load asks before it drops a record in progress, and names are found whatever
// their letter case. Without windows, the loader tells its views each step in the order
// of the file and nothing past the step that failed.
#include "ConfigurationLoader.h"

#include <QFile>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QToolButton>
#include <filesystem>
#include <functional>

#include "DbfFileIO.h"
#include "ProgramConfiguration.h"
#include "ProgramTestSupport.h"
#include "TImage.h"
#include "Unit1.h"
#include "Unit2.h"
#include "Unit3.h"

namespace app::testing {
namespace {

using dbf::TNavigateBtn;

class Loader : public TProgramTest {
 protected:
  // prikl1.ini with line k replaced (or the file cut before line k when `text` is null).
  QString Configuration(const QString& name, size_t k, const QByteArray& text) {
    QList<QByteArray> lines = ReadFile(Example(QStringLiteral("prikl1.ini"))).split('\n');
    if (text.isNull()) {
      lines.resize(static_cast<qsizetype>(k));
    } else {
      lines[static_cast<qsizetype>(k)] = text + "\r";
    }
    WriteFile(Example(name), lines.join('\n'));
    return Example(name);
  }

  QString ValueLabel(size_t line) const { return Form2->ValueLabels[line - 1]->text(); }

  // One subject stored with the results table as it is open now.
  void StoreSubject() {
    ClickNavigator(TNavigateBtn::nbInsert);
    ClickPicture(9);
    ClickNavigator(TNavigateBtn::nbPost);
  }
};

TEST_F(Loader, SampleLoadsEveryValueWithoutAMessage) {
  LoadConfiguration(Example(QStringLiteral("prikl1.ini")));
  EXPECT_TRUE(Boxes().empty());
  EXPECT_EQ(Form2->Edit1->text(), QStringLiteral("prikl1.ini"));
  EXPECT_TRUE(Form2->Memo1->toPlainText().startsWith(QStringLiteral("Konfig. soubor:\n1\t")));
  EXPECT_EQ(ValueLabel(3), QStringLiteral("VYSLEDKY"));
  EXPECT_EQ(ValueLabel(9), QStringLiteral("6,7,18,29,") + QString(18, QLatin1Char(' ')));
  EXPECT_EQ(Form1->Label11->text(), QStringLiteral("prikl1.ini"));
  EXPECT_EQ(Form1->Label29->text(), QStringLiteral("Tarni_1.BMP"));
  EXPECT_EQ(Form1->Label24->text(), QStringLiteral("VYSLEDKY.DBF"));
  EXPECT_TRUE(Form1->Label27->isVisible());
  EXPECT_EQ(RecordsOf(InProgramFolder("VYSLEDKY.DBF")).size(), 0u);
  EXPECT_EQ(DataModule3->Dbf1.fieldCount(), 11);
}

TEST_F(Loader, BadInputsEndTheLoadWhereTheyStandAndLoseNothing) {
  const QString good = Example(QStringLiteral("prikl1.ini"));
  const std::string results = InProgramFolder("VYSLEDKY.DBF");
  WriteFile(Example(QStringLiteral("Text.BMP")), "not a bitmap at all, only some words of text");
  WriteFile(Example(QStringLiteral("Kratka.BMP")), ReadFile(Example(QStringLiteral("Tarni_1.BMP"))).left(40000));
  {
    dbf::TDbf foreign;
    foreign.SetTableName(InProgramFolder("CIZI.DBF"));
    foreign.FieldDefs().Add("JMENO", dbf::TFieldType::ftString, 20, false);
    foreign.createTable();
  }
  const dbf::filetest::TBytes foreign_bytes = dbf::filetest::ReadFileBytes(InProgramFolder("CIZI.DBF"));

  const struct {
    const char* name;
    QString file;
    size_t last_line_read;
    QString box;  // the error or message box shown
    bool completes;
  } cases[] = {
      {"missing lines", Configuration(QStringLiteral("kratky.ini"), 6, nullptr), 6,
       QStringLiteral("'' is not a valid integer value."), false},
      {"missing template", Configuration(QStringLiteral("bez.ini"), 2, "Chybi "), 9,
       QStringLiteral("Předloha v souboru  Chybi.BMP nenalezena ! "), true},
      {"not a bitmap", Configuration(QStringLiteral("text.ini"), 2, "Text "), 2,
       QStringLiteral("Bitmap image is not valid."), false},
      {"truncated bitmap", Configuration(QStringLiteral("kratka.ini"), 2, "Kratka "), 2,
       QStringLiteral("Bitmap image is not valid."), false},
      {"not an integer", Configuration(QStringLiteral("pismeno.ini"), 5, "1O (parametr b)"), 5,
       QStringLiteral("'1O' is not a valid integer value."), false},
      {"foreign results table", Configuration(QStringLiteral("cizi.ini"), 3, "CIZI "), 3,
       QStringLiteral("Dbf1: Field 'PRIJMENI' not found."), false},
  };
  LoadConfiguration(good);
  StoreSubject();
  size_t stored = 1;
  for (const auto& test : cases) {
    SCOPED_TRACE(test.name);
    dialogs.shown.clear();
    const QImage picture = Form1->Image1->Picture();
    Form2->ShowValue(test.last_line_read + (test.last_line_read < 9 ? 1 : 0), QStringLiteral("earlier"));
    LoadConfiguration(test.file);
    ASSERT_EQ(Boxes().size(), 1u);
    EXPECT_EQ(Boxes()[0].text, test.box);
    EXPECT_EQ(Form1->Label27->isVisible(), test.completes);
    if (test.last_line_read < 9) {
      EXPECT_EQ(ValueLabel(test.last_line_read + 1), QStringLiteral("earlier")) << "a line after the failure";
    }
    if (test.last_line_read == 2) {
      EXPECT_EQ(Form1->Image1->Picture(), picture);
    }

    // The program goes on: the good configuration loads and takes the next subject.
    dialogs.shown.clear();
    LoadConfiguration(good);
    StoreSubject();
    EXPECT_TRUE(Boxes().empty());
    EXPECT_EQ(RecordsOf(results).size(), ++stored);
  }
  EXPECT_EQ(dbf::filetest::ReadFileBytes(InProgramFolder("CIZI.DBF")), foreign_bytes);
}

// A failed load scores nobody and changes no value in effect; the table of a load has the
// results fields, lies where its name says and, made a moment ago by another copy of the
// program, is opened as it stands; a table name with a control character is refused.
TEST_F(Loader, AFailedLoadScoresNobodyAndTheTableOfALoadIsTheRightOne) {
  const std::string results = InProgramFolder("VYSLEDKY.DBF");
  LoadConfiguration(Configuration(QStringLiteral("a2.ini"), 4, "2 "));
  StoreSubject();
  const dbf::filetest::TBytes stored = dbf::filetest::ReadFileBytes(results);
  std::filesystem::copy_file(Example(QStringLiteral("SK_00123.dbf")).toStdString(), InProgramFolder("CIZI.DBF"));
  std::filesystem::create_directory(scratch / "data");
  dbf::SetFileIOFactory([&](const std::string& path, dbf::TFileOpenMode mode) {
    if (path.ends_with("SOUBEZNA.DBF") && mode == dbf::TFileOpenMode::CreateExclusive) {
      std::filesystem::copy_file(results, path);  // the other copy, just before this one
    }
    return dbf::OpenPosixFileIO(path, mode);
  });
  const auto named = [this](const char* file, const QByteArray& table) {
    return Configuration(QLatin1String(file), 3, table + ' ');
  };
  const std::pair<QString, const char*> cases[] = {
      {Configuration(QStringLiteral("b.ini"), 5, "1O "), "'1O' is not a valid integer value."},
      {named("nul.ini", QByteArray("VYSLEDKY.bak\0 x", 15)),
       "Line 3: the table name holds a control character (code 0)"},
      {named("cizi.ini", "CIZI"), "Dbf1: Field 'POC_SPR' not found."},
      {named("nova.ini", "NOVA"), nullptr},
      {named("jinde.ini", "../data/JINDE"), nullptr},
      {named("holy.ini", "HOLY"), nullptr},
      {named("soubezna.ini", "SOUBEZNA"), nullptr}};
  for (const auto& [file, error] : cases) {
    dialogs.shown.clear();
    LoadConfiguration(file);
    EXPECT_EQ(dialogs.Errors(), error ? std::vector{QString::fromUtf8(error)} : std::vector<QString>())
        << file.toStdString();
    EXPECT_EQ(DataModule3->Dbf1.Active(), error == nullptr);
    EXPECT_EQ(app::Configuration().param_a, error ? 2 : 10);
  }
  dbf::SetFileIOFactory({});
  EXPECT_EQ(dbf::filetest::ReadFileBytes(results), stored);
  EXPECT_EQ(dbf::filetest::ReadFileBytes(InProgramFolder("SOUBEZNA.DBF")), stored);
  EXPECT_TRUE(std::filesystem::exists(InProgramFolder("HOLY.DBF")));
  EXPECT_FALSE(std::filesystem::exists(InProgramFolder("VYSLEDKY.bak")));
}

TEST_F(Loader, SecondLoadAsksBeforeDroppingARecordInProgress) {
  const QString good = Example(QStringLiteral("prikl1.ini"));
  LoadConfiguration(good);
  ClickNavigator(TNavigateBtn::nbInsert);
  ClickPicture(4);

  // "Cancel": no file dialog, the record stays in insert state.
  dialogs.confirm_answers.push_back(false);
  Trigger(Form1->inisouboru1);
  ASSERT_EQ(dialogs.shown.back().kind, QStringLiteral("confirm"));
  EXPECT_EQ(dialogs.file_requests.size(), 1u);
  EXPECT_EQ(DataModule3->Dbf1.state(), dbf::TDataSetState::StateInsert);

  // "OK", then the dialog cancelled: the earlier file is loaded again into a reopened table,
  // and the navigator offers the insert button again.
  dialogs.confirm_answers.push_back(true);
  LoadConfiguration(std::nullopt);
  EXPECT_EQ(dialogs.file_requests.size(), 2u);
  EXPECT_EQ(DataModule3->Dbf1.state(), dbf::TDataSetState::StateBrowse);
  EXPECT_EQ(Form2->Edit1->text(), QStringLiteral("prikl1.ini"));
  EXPECT_TRUE(Form1->DBNavigator1->Button(TNavigateBtn::nbInsert)->isVisibleTo(Form1->DBNavigator1));
  DestroyProgramWindows();
  EXPECT_EQ(RecordsOf(InProgramFolder("VYSLEDKY.DBF")).size(), 0u);
}

TEST_F(Loader, NamesAreFoundWhateverTheirLetterCase) {
  QFile::rename(Example(QStringLiteral("Tarni_1.BMP")), Example(QStringLiteral("TARNI_1.bmp")));
  LoadConfiguration(Example(QStringLiteral("prikl1.ini")));
  StoreSubject();
  const QString lower_case = Configuration(QStringLiteral("mala.ini"), 3, "vysledky ");
  dialogs.shown.clear();
  LoadConfiguration(Example(QStringLiteral("MALA.INI")));
  EXPECT_TRUE(Boxes().empty()) << "template found as TARNI_1.bmp";
  EXPECT_EQ(Form2->Edit1->text(), QStringLiteral("MALA.INI"));
  EXPECT_EQ(DataModule3->Dbf1.recordCount(), 1) << "vysledky.DBF is the existing VYSLEDKY.DBF";
  EXPECT_FALSE(QFile::exists(QString::fromStdString(InProgramFolder("vysledky.DBF"))));
  EXPECT_FALSE(lower_case.isEmpty());
}

// Views that write down what a load shows, one line per step; the file dialog answers `chosen`.
class TRecordingViews : public TConfigurationEditorView, public TLoadedConfigurationView {
 public:
  QString chosen;
  QStringList shown;

  QString ChooseConfigurationFile() override { return chosen; }
  void ShowFileName(const QString& name) override { shown << "file name " + name; }
  void ShowConfigurationText(const QString& text) override {
    shown << QStringLiteral("text of %1 lines from %2").arg(text.count(u'\n') + 1).arg(text.section(u'\n', 0, 0));
  }
  void ShowValue(size_t line, const QString& value) override {
    shown << QStringLiteral("value %1 %2").arg(line).arg(value.trimmed());
  }
  void ShowConfigurationName(const QString& bare_name) override { shown << "configuration " + bare_name; }
  void ShowTemplateName(const QString& file_name) override { shown << "template name " + file_name; }
  void ShowTemplate(const QImage& picture) override { shown << QStringLiteral("template %1").arg(picture.width()); }
  void ShowResultsTableName(const QString& file_name) override { shown << "table " + file_name; }
  void ShowResultsTableReopened() override { shown << QStringLiteral("table reopened"); }
  void ShowInsertFirstHint(bool visible) override { shown << (visible ? "hint shown" : "hint hidden"); }
};

class LoaderWithoutWindows : public TProgramFolders {
 protected:
  LoaderWithoutWindows() { ResetConfiguration(); }

  // Loads `file` through fresh views and gives what they showed, the error text appended.
  QStringList Load(const QString& file) {
    TRecordingViews views;
    views.chosen = file;
    try {
      TConfigurationLoader(views, views, data_module).Load();
    } catch (const std::exception& error) {
      views.shown << QString::fromUtf8(error.what());
    }
    return views.shown;
  }

  dbf::testing::TScriptedDialogs dialogs;
  TDataModule3 data_module;
};

// Each case follows a complete load, whose table is open and whose values are in effect:
// the views follow the file line by line; a failed load closes the table and keeps the
// values in effect; a missing template only skips its picture; a missing file shows its name.
TEST_F(LoaderWithoutWindows, ViewsFollowTheFileLineByLineAndStopWhereTheLoadStops) {
  QList<QByteArray> lines = ReadFile(Example(QStringLiteral("prikl1.ini"))).split('\n');
  lines[2] = "Chybi \r";
  WriteFile(Example(QStringLiteral("chybi.ini")), lines.join('\n'));
  lines[2] = "Tarni_1 \r";
  lines[4] = "2 \r";
  lines[5] = "1O \r";
  WriteFile(Example(QStringLiteral("a2b1O.ini")), lines.join('\n'));
  const struct {
    const char* file;
    const char* steps;  // the last steps shown, one after the other
    bool table_open;
  } cases[] = {
      {"prikl1.ini",
       "prikl1.ini|text of 14 lines from Konfig. soubor:|file name prikl1.ini|configuration prikl1.ini|value 1 1"
       "|value 2 Tarni_1|template name Tarni_1.BMP|template 800|value 3 VYSLEDKY|table VYSLEDKY.DBF|table reopened"
       "|value 4 10|value 5 10|value 6 4|value 7 9,21,24,25,|value 8 4|value 9 6,7,18,29,|hint shown",
       true},
      {"a2b1O.ini", "value 5 1O|hint hidden|'1O' is not a valid integer value", false},
      {"chybi.ini",
       "template name Chybi.BMP|value 3 VYSLEDKY|table VYSLEDKY.DBF|table reopened|value 4 10|value 5 10|value 6 4"
       "|value 7 9,21,24,25,|value 8 4|value 9 6,7,18,29,|hint shown",
       true},
      {"zadny.ini", "zadny.ini", true},
  };
  for (const auto& test : cases) {
    SCOPED_TRACE(test.file);
    ASSERT_EQ(Load(Example(QStringLiteral("prikl1.ini"))).back(), QStringLiteral("hint shown"));
    const std::string shown = Load(Example(QString::fromUtf8(test.file))).join(u'|').toStdString();
    EXPECT_TRUE(shown.ends_with(test.steps)) << shown;
    EXPECT_EQ(data_module.Dbf1.Active(), test.table_open);
    EXPECT_EQ(app::Configuration().param_a, 10) << "line 4 of a2b1O.ini takes no effect";
  }
}

}  // namespace
}  // namespace app::testing
