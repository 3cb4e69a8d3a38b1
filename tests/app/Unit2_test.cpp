// The configuration editor: the name rules of "Uložit", "Nový" followed by "Test konfig",
// and "Otevřít" with a cancelled dialog, a file in another folder and a missing file; the
// program's files read and written safely.
#include "Unit2.h"

#include <sys/resource.h>
#include <sys/stat.h>

#include <QAction>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <filesystem>

#include "ProgramFiles.h"
#include "ProgramTestSupport.h"
#include "Unit1.h"

namespace app::testing {
namespace {

class Editor : public TProgramTest {
 protected:
  std::vector<QString> ValueTexts() const {
    std::vector<QString> texts;
    for (const QLabel* label : Form2->ValueLabels) texts.push_back(label->text());
    return texts;
  }
  // The errors shown by `action`, run under a file-size limit of `limit` bytes (the program
  // ignores SIGXFSZ).
  std::vector<QString> Errors(const std::function<void()>& action, rlim_t limit = RLIM_INFINITY) {
    dialogs.shown.clear();
    const rlimit limited{limit, RLIM_INFINITY}, unlimited{RLIM_INFINITY, RLIM_INFINITY};
    ::setrlimit(RLIMIT_FSIZE, &limited);
    action();
    ::setrlimit(RLIMIT_FSIZE, &unlimited);
    return dialogs.Errors();
  }
};

TEST_F(Editor, SaveAddsTheExtensionUnlessTheNameEndsInOneOfItsTwoSpellings) {
  const struct {
    QString typed;
    QString written;
  } cases[] = {
      {QStringLiteral("Edit1"), QStringLiteral("Edit1.ini")},  // the box as it starts
      {QStringLiteral("novy.ini"), QStringLiteral("novy.ini")},
      {QStringLiteral("test"), QStringLiteral("test.ini")},
      {QStringLiteral("test.INI"), QStringLiteral("test.INI")},
      {QStringLiteral("test.Ini"), QStringLiteral("test.Ini.ini")},
      {QStringLiteral(".ini"), QStringLiteral(".ini.ini")},
      {QString(), QStringLiteral(".ini")},
  };
  EXPECT_EQ(Form2->Edit1->text(), cases[0].typed);
  Form2->Memo1->setPlainText(QStringLiteral("řádek 1\nčást 2"));
  for (const auto& test : cases) {
    SCOPED_TRACE(test.typed.toStdString());
    Form2->Edit1->setText(test.typed);
    Trigger(Form2->uloit1);
    EXPECT_EQ(ReadFile(test.written), QByteArray("\xF8\xE1\x64\x65k 1\r\n\xE8\xE1st 2"));
    EXPECT_EQ(Form2->Edit1->text(), test.typed);
    EXPECT_TRUE(QFile::remove(test.written));
  }
}

TEST_F(Editor, NewOffersTheSampleAndTestShowsItsValues) {
  Trigger(Form2->Nov2);
  Trigger(Form2->Testkonfig1);
  EXPECT_EQ(Form2->Edit1->text(), QStringLiteral("novy.ini"));
  EXPECT_TRUE(ReadFile(QStringLiteral("vzor1.txt")).endsWith("\r\n \r\n"));
  const std::vector<QString> expected = {QStringLiteral("1\t"),
                                         QStringLiteral("Tarni_1"),
                                         QStringLiteral("xxxx"),
                                         QStringLiteral("10"),
                                         QStringLiteral("10"),
                                         QStringLiteral("4"),
                                         QStringLiteral("9,21,24,25,") + QString(16, QLatin1Char(' ')),
                                         QStringLiteral("4"),
                                         QStringLiteral("6,7,18,29,") + QString(18, QLatin1Char(' '))};
  EXPECT_EQ(ValueTexts(), expected);

  // Saved as novy.ini, the sample is written back byte for byte.
  Trigger(Form2->uloit1);
  EXPECT_EQ(ReadFile(QStringLiteral("novy.ini")), ReadFile(QStringLiteral("vzor1.txt")));

  Form2->Memo1->clear();
  Trigger(Form2->Testkonfig1);
  EXPECT_EQ(ValueTexts(), std::vector<QString>(9));
}

TEST_F(Editor, OpenReadsTheChosenFileAndMakesItsFolderCurrent) {
  // Cancelled with no earlier file: the name box empties, the text stays.
  Form2->Memo1->setPlainText(QStringLiteral("rozepsáno"));
  dialogs.file_answers.push_back(std::nullopt);
  Trigger(Form2->otevt1);
  EXPECT_EQ(Form2->Edit1->text(), QString());
  EXPECT_EQ(Form2->Memo1->toPlainText(), QStringLiteral("rozepsáno"));

  // A file in another folder: read, shown by its bare name; "Uložit" writes it back there.
  const QString other = QString::fromStdString(scratch / "jinde");
  QDir().mkpath(other);
  WriteFile(other + QStringLiteral("/test.ini"), "prvn\xED\r\n");
  dialogs.file_answers.push_back(other + QStringLiteral("/test.ini"));
  Trigger(Form2->otevt1);
  EXPECT_EQ(Form2->Memo1->toPlainText(), QStringLiteral("první\n"));
  EXPECT_EQ(Form2->Edit1->text(), QStringLiteral("test.ini"));
  EXPECT_EQ(QDir::currentPath(), other);
  Form2->Memo1->setPlainText(QStringLiteral("druhá\n"));
  Trigger(Form2->uloit1);
  EXPECT_EQ(ReadFile(other + QStringLiteral("/test.ini")), QByteArray("druh\xE1\r\n"));

  // Cancelled after it: the same file is read again, replacing the edits.
  Form2->Memo1->setPlainText(QStringLiteral("neuloženo"));
  dialogs.file_answers.push_back(std::nullopt);
  Trigger(Form2->otevt1);
  EXPECT_EQ(Form2->Memo1->toPlainText(), QStringLiteral("druhá\n"));

  // A name typed for a missing file: the text stays, the box takes the new name.
  dialogs.file_answers.push_back(other + QStringLiteral("/novy2.ini"));
  Trigger(Form2->otevt1);
  EXPECT_EQ(Form2->Memo1->toPlainText(), QStringLiteral("druhá\n"));
  EXPECT_EQ(Form2->Edit1->text(), QStringLiteral("novy2.ini"));
  EXPECT_TRUE(dialogs.Errors().empty());
}

// A FIFO, a link to /dev/zero, a folder or an oversized file is refused at once, as a
// configuration or as a template.
TEST_F(Editor, OddFilesAreRefusedAtOnce) {
  const QByteArray sample = ReadFile(QStringLiteral("prikl1.ini"));
  LoadConfiguration(Example(QStringLiteral("prikl1.ini")));
  const dbf::filetest::TBytes stored = dbf::filetest::ReadFileBytes(InProgramFolder("VYSLEDKY.DBF"));
  ::mkfifo("roura.ini", 0600);
  std::filesystem::create_symlink("/dev/zero", "nuly.BMP");
  std::filesystem::create_directory("slozka.BMP");
  WriteFile(QStringLiteral("velky.ini"), QByteArray(kConfigurationFileLimit + 1, ' '));
  for (const auto& [file, reason] :
       {std::pair{Example(QStringLiteral("roura.ini")), "is not a regular file"},
        {Example(QStringLiteral("velky.ini")), "1048577 bytes, more than the 1 MiB allowed"},
        {QStringLiteral("nuly.BMP"), "is not a regular file"},
        {QStringLiteral("slozka.BMP"), "is a directory"}}) {
    WriteFile(QStringLiteral("obr.ini"), QByteArray(sample).replace("Tarni_1 ", file.chopped(4).toUtf8() + ' '));
    EXPECT_EQ(Errors([&] { LoadConfiguration(file.endsWith(".BMP") ? Example(QStringLiteral("obr.ini")) : file); }),
              std::vector{QStringLiteral("Cannot open file %1: %2.").arg(file, QLatin1String(reason))});
  }
  EXPECT_EQ(dbf::filetest::ReadFileBytes(InProgramFolder("VYSLEDKY.DBF")), stored);
}

// A save replaces the file that was read, whole or not at all, keeping every character
// typed; a typed missing subjects file creates nothing; a file-size limit is an error.
TEST_F(Editor, SavesReplaceTheFileReadWholeOrNotAtAll) {
  // Windows-1250 bytes that happen to be valid UTF-8 (C8 8A would read as U+020A) in a
  // file that is all ASCII besides.
  QByteArray czech = ReadFile(QStringLiteral("prikl1.ini"));
  std::replace_if(
      czech.begin(), czech.end(), [](char c) { return (c & 0x80) != 0; }, '_');
  WriteFile(QStringLiteral("cs.ini"), czech.replace("VYSLEDKY ", "\xC8\x8A\x45NEK "));
  LoadConfiguration(Example(QStringLiteral("cs.ini")));
  EXPECT_EQ(Form1->Label24->text(), QStringLiteral("ČŠENEK.DBF"));
  const std::string results = InProgramFolder("ČŠENEK.DBF");
  const dbf::filetest::TBytes stored = dbf::filetest::ReadFileBytes(results);
  // Typed as PRIKL1.INI, found as prikl1.ini; saved back there with Cyrillic and a no-break space.
  dialogs.file_answers.push_back(Example(QStringLiteral("PRIKL1.INI")));
  Trigger(Form2->otevt1);
  const QString typed =
      Form2->Memo1->toPlainText().replace(QStringLiteral("VYSLEDKY"), QStringLiteral("Журнал\u00A02"));
  Form2->Memo1->setPlainText(typed);
  Trigger(Form2->Testkonfig1);
  EXPECT_EQ(ValueTexts()[2], QStringLiteral("Журнал\u00A02"));
  Trigger(Form2->uloit1);
  const QByteArray saved = ReadFile(QStringLiteral("prikl1.ini"));
  EXPECT_EQ(saved, "\xEF\xBB\xBF" + typed.toUtf8().replace("\n", "\r\n"));
  EXPECT_EQ(QDir().entryList(QDir::Files).filter(QStringLiteral("prikl1"), Qt::CaseInsensitive).size(), 1);
  const QString missing = Example(QStringLiteral("CHYBI.DBF"));
  EXPECT_EQ(Errors([&] { OpenSubjectsTable(missing); }),
            std::vector{QStringLiteral("Cannot open file %1: no such file or directory.").arg(missing)});
  EXPECT_FALSE(QFile::exists(missing));

  // A failed save leaves the old file and nothing else; only a regular file is replaced.
  Form2->Memo1->setPlainText(QString(8000, QLatin1Char('x')));
  EXPECT_EQ(Errors([] { Trigger(Form2->uloit1); }, 4096).size(), 1u);
  EXPECT_EQ(ReadFile(QStringLiteral("prikl1.ini")), saved);
  EXPECT_EQ(QDir().entryList(QDir::Files).filter(QStringLiteral("prikl1"), Qt::CaseInsensitive).size(), 1);
  ::mkfifo("roura.ini", 0600);
  Form2->Edit1->setText(QStringLiteral("roura.ini"));
  EXPECT_EQ(Errors([] { Trigger(Form2->uloit1); }),
            std::vector{QStringLiteral("Cannot create file roura.ini: is not a regular file.")});
  ClickNavigator(dbf::TNavigateBtn::nbInsert);
  EXPECT_EQ(Errors([this] { ClickNavigator(dbf::TNavigateBtn::nbPost); }, stored.size()).size(), 1u);
  EXPECT_EQ(dbf::filetest::ReadFileBytes(results), stored);
  ClickNavigator(dbf::TNavigateBtn::nbPost);
  EXPECT_EQ(RecordsOf(results).size(), 1u);
}

}  // namespace
}  // namespace app::testing
