#include "ProgramTestSupport.h"

#include <unistd.h>

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QBuffer>
#include <QFile>
#include <QLabel>
#include <QTest>
#include <QToolButton>
#include <filesystem>

#include "DbfPaths.h"
#include "HitGrid.h"
#include "Startup.h"
#include "TDBEdit.h"
#include "TImage.h"
#include "Unit1.h"
#include "Unit4.h"

namespace app::testing {

namespace fs = std::filesystem;

namespace {

constexpr const char* kExamplesFolder = "examples";
constexpr const char* kProgramFolder = "program";

}  // namespace

TProgramFolders::TProgramFolders() : previous_folder_(fs::current_path().string()) {
  const fs::path examples = fs::path(scratch.Folder()) / kExamplesFolder;
  fs::copy(fs::path(TEST_SOURCE_DIR) / ".." / "examples", examples);
  fs::create_directory(fs::path(scratch.Folder()) / kProgramFolder);
  dbf::SetDbfBaseFolderForTesting(scratch / kProgramFolder);
  fs::current_path(examples);
}

TProgramFolders::~TProgramFolders() {
  dbf::SetDbfBaseFolderForTesting("");
  fs::current_path(previous_folder_);
}

QString TProgramFolders::Example(const QString& name) const {
  return QString::fromStdString(scratch / kExamplesFolder) + QLatin1Char('/') + name;
}

std::string TProgramFolders::InProgramFolder(const std::string& name) const {
  return scratch / (std::string(kProgramFolder) + "/" + name);
}

TProgramTest::TProgramTest() {
  SetUpApplication(*qApp);
  CreateProgramWindows();
  Form1->show();
}

TProgramTest::~TProgramTest() {
  DestroyProgramWindows();
  dbf::SetDbfNoticeHandler({});
}

void TProgramTest::LoadConfiguration(const std::optional<QString>& file) {
  dialogs.file_answers.push_back(file);
  Trigger(Form1->inisouboru1);
}

void TProgramTest::OpenSubjectsTable(const QString& file) {
  Trigger(Form1->DBFproband1);
  dialogs.file_answers.push_back(file);
  Trigger(Form4->SouborDBF1);
}

void TProgramTest::ClickTemplate(int x, int y) {
  QTest::mousePress(Form1->Image1, Qt::LeftButton, {}, QPoint(x, y));
  QTest::mouseRelease(Form1->Image1, Qt::LeftButton, {}, QPoint(x, y));
}

void TProgramTest::ClickPicture(int picture) {
  const size_t column = static_cast<size_t>(picture - 1) % 6;
  const size_t row = static_cast<size_t>(picture - 1) / 6;
  ClickTemplate((tarni::column_bounds[column] + tarni::column_bounds[column + 1]) / 2,
                (tarni::row_bounds[row] + tarni::row_bounds[row + 1]) / 2);
}

void TProgramTest::ClickNavigator(dbf::TNavigateBtn button) {
  QToolButton* tool = Form1->DBNavigator1->Button(button);
  ASSERT_TRUE(tool->isVisibleTo(Form1->DBNavigator1) && tool->isEnabled())
      << "navigator button " << static_cast<int>(button) << " cannot be pressed";
  tool->click();
}

void TProgramTest::Click(QAbstractButton* button) { button->click(); }

void TProgramTest::Trigger(QAction* action) { action->trigger(); }

std::vector<dbf::testing::TScriptedDialogs::TShown> TProgramTest::Boxes() const {
  std::vector<dbf::testing::TScriptedDialogs::TShown> boxes;
  for (const auto& shown : dialogs.shown) {
    if (shown.kind != QLatin1String("file")) boxes.push_back(shown);
  }
  return boxes;
}

std::vector<QString> TProgramTest::ResultTexts() {
  std::vector<QString> texts;
  for (const QLabel* label : Form1->ResultValues) texts.push_back(label->text());
  return texts;
}

std::vector<dbf::TNavigateBtn> TProgramTest::VisibleNavigatorButtons() {
  std::vector<dbf::TNavigateBtn> visible;
  for (int number = 0; number < dbf::kNavButtonCount; ++number) {
    const auto button = static_cast<dbf::TNavigateBtn>(number);
    if (Form1->DBNavigator1->Button(button)->isVisibleTo(Form1->DBNavigator1)) visible.push_back(button);
  }
  return visible;
}

std::vector<QString> TProgramTest::IdentityTexts() {
  return {Form1->DBEdit1->text(), Form1->DBEdit2->text(), Form1->DBEdit3->text(), Form1->DBEdit5->text()};
}

std::vector<std::vector<std::string>> TProgramTest::RecordsOf(const std::string& path) {
  dbf::TDbf table;
  table.SetTableName(path);
  table.SetReadOnly(true);
  table.open();
  std::vector<std::vector<std::string>> records;
  for (table.moveFirst(); !table.atEof(); table.moveNext()) {
    std::vector<std::string>& record = records.emplace_back();
    for (int field = 0; field < table.fieldCount(); ++field) record.push_back(table.fieldAt(field).readString());
  }
  table.close();
  return records;
}

uint32_t TProgramTest::HeaderRecordCount(const std::string& path) {
  const dbf::filetest::TBytes bytes = dbf::filetest::ReadFileBytes(path);
  return bytes.size() < 8 ? 0 : bytes[4] | bytes[5] << 8 | bytes[6] << 16 | static_cast<uint32_t>(bytes[7]) << 24;
}

void WriteFile(const QString& path, const QByteArray& bytes) {
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate)) << path.toStdString();
  ASSERT_EQ(file.write(bytes), bytes.size());
}

QByteArray BmpBytes(const QImage& image) {
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  EXPECT_TRUE(image.save(&buffer, "BMP"));
  return bytes;
}

QByteArray ReadFile(const QString& path) {
  QFile file(path);
  EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
  return file.readAll();
}

}  // namespace app::testing
