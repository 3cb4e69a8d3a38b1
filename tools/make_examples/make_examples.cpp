// Writes the files of examples/ that let a new user follow the help window's steps on a
// fresh clone: the sample configuration prikl1.ini (naming the results table VYSLEDKY),
// the template Tarni_1.BMP (the program's built-in template) and the subjects table
// SK_00123.dbf (twenty invented subjects). The files are committed; this keeps them
// reproducible.
//
// Usage: make_examples FOLDER
#include <QFileInfo>
#include <QGuiApplication>
#include <QString>
#include <array>
#include <cstdio>
#include <exception>
#include <string>

#include "BuiltInTemplate.h"
#include "ProgramFiles.h"
#include "SampleConfiguration.h"
#include "dbf.h"

namespace {

struct Subject {
  const char* surname;
  const char* first_name;
  bool woman;
  int year;
  int month;
  int day;
};

constexpr std::array<Subject, 20> kSubjects = {{
    {"Novák", "Jan", false, 1987, 3, 14},       {"Svobodová", "Marie", true, 1990, 11, 2},
    {"Dvořák", "Petr", false, 1985, 6, 21},     {"Černá", "Lucie", true, 1992, 1, 30},
    {"Procházka", "Tomáš", false, 1979, 9, 8},  {"Kučerová", "Eva", true, 1988, 12, 17},
    {"Veselý", "Martin", false, 1995, 4, 3},    {"Horáková", "Tereza", true, 1993, 7, 25},
    {"Němec", "Jiří", false, 1982, 2, 11},      {"Marková", "Kateřina", true, 1991, 10, 5},
    {"Pokorný", "Ondřej", false, 1989, 5, 19},  {"Pospíšilová", "Jana", true, 1984, 8, 28},
    {"Hájek", "Lukáš", false, 1996, 3, 7},      {"Králová", "Veronika", true, 1994, 6, 13},
    {"Jelínek", "David", false, 1980, 11, 29},  {"Růžičková", "Hana", true, 1987, 2, 22},
    {"Beneš", "Michal", false, 1990, 9, 16},    {"Fialová", "Zuzana", true, 1986, 4, 9},
    {"Šťastný", "Vojtěch", false, 1997, 12, 1}, {"Zelenková", "Barbora", true, 1983, 5, 27},
}};

std::string TwoDigits(int value) {
  const int digits = value % 100;
  return std::string(1, static_cast<char>('0' + digits / 10)) + static_cast<char>('0' + digits % 10);
}

// The date part: year, month (plus 50 for a woman) and day, two digits each.
std::string BirthNumberFirst(const Subject& subject) {
  return TwoDigits(subject.year) + TwoDigits(subject.month + (subject.woman ? 50 : 0)) + TwoDigits(subject.day);
}

// Four digits that make the whole ten-digit number divisible by 11, as birth numbers are.
std::string BirthNumberSecond(const std::string& first, int index) {
  const long long date_part = std::stoll(first) * 10000;
  for (int serial = 100 + index * 37;; ++serial) {
    const long long with_serial = date_part + (serial % 1000) * 10;
    const int check = static_cast<int>((11 - with_serial % 11) % 11);
    if (check < 10) return std::to_string(serial % 1000 + 1000).substr(1) + std::to_string(check);
  }
}

void WriteSubjectsTable(const std::string& path) {
  dbf::TDbf table;
  table.SetName("Dbf2");
  table.SetTableName(path);
  dbf::TDbfFieldDefs& defs = table.FieldDefs();
  defs.Add("CISLO", dbf::TFieldType::ftInteger, 4, false);
  defs.Add("PRIJMENI", dbf::TFieldType::ftString, 20, false);
  defs.Add("JMENO", dbf::TFieldType::ftString, 15, false);
  defs.Add("RC1", dbf::TFieldType::ftString, 6, false);
  defs.Add("RC2", dbf::TFieldType::ftString, 4, false);
  table.createTable();
  table.open();
  for (size_t index = 0; index < kSubjects.size(); ++index) {
    const Subject& subject = kSubjects[index];
    const std::string first = BirthNumberFirst(subject);
    table.startAppend();
    table.fieldAt(0).writeInteger(static_cast<int32_t>(index + 1));
    table.fieldAt(1).writeString(subject.surname);
    table.fieldAt(2).writeString(subject.first_name);
    table.fieldAt(3).writeString(first);
    table.fieldAt(4).writeString(BirthNumberSecond(first, static_cast<int>(index)));
    table.post();
  }
  table.close();
}

// The sample configuration with the results table VYSLEDKY, its comment kept in its column.
QString ExampleConfiguration() {
  QString text = SampleConfigurationText();
  const QString sample_table = QStringLiteral("xxxx") + QString(27, QLatin1Char(' '));
  const QString example_table = QStringLiteral("VYSLEDKY") + QString(23, QLatin1Char(' '));
  return text.replace(sample_table, example_table);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s FOLDER\n", argv[0]);
    return 2;
  }
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication application(argc, argv);
  // Absolute: a table name with a relative folder would be taken against the program's folder.
  const QString folder = QFileInfo(QString::fromLocal8Bit(argv[1])).absoluteFilePath() + QLatin1Char('/');
  try {
    app::WriteConfigurationText(folder + QStringLiteral("prikl1.ini"), ExampleConfiguration());
    if (!app::BuiltInTemplate().save(folder + QStringLiteral("Tarni_1.BMP"), "BMP")) {
      throw std::runtime_error("Cannot create file " + (folder + QStringLiteral("Tarni_1.BMP")).toStdString());
    }
    WriteSubjectsTable((folder + QStringLiteral("SK_00123.dbf")).toStdString());
  } catch (const std::exception& error) {
    std::fprintf(stderr, "%s\n", error.what());
    return 1;
  }
  return 0;
}
