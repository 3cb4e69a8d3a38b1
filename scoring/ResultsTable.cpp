#include "ResultsTable.h"

#include <algorithm>
#include <iterator>
#include <memory>

namespace tarni {

namespace {

using dbf::TFieldType;

struct ColumnDeclaration;
using FieldDeclarer = void (*)(dbf::TDbf& table, const ColumnDeclaration& column, ResultsFields& fields);

// One column of the results table: its definition (from which a missing file is created),
// its field object and its meaning for exports, declared together so that the schema is
// stated once.
struct ColumnDeclaration {
  const char* name;
  TFieldType type;
  char letter;
  int32_t size;
  FieldDeclarer declare_field;
  ResultsColumnMeaning meaning;
};

// Declares the field object of `column` as a `Field` and keeps it in `fields.*member`.
template <typename Field, Field* ResultsFields::*member>
void declare_field(dbf::TDbf& table, const ColumnDeclaration& column, ResultsFields& fields) {
  auto field = std::make_unique<Field>();
  field->SetFieldName(column.name);
  if (column.type == TFieldType::ftString) field->SetSize(column.size);
  fields.*member = static_cast<Field*>(&table.addField(std::move(field)));
}

using dbf::TIntegerField;
using dbf::TSmallintField;
using dbf::TStringField;

// The declared columns in file order. The four counts are declared as small integers of
// letter N; a count of five digits still reads back from the file as an integer column,
// which binds to its integer field object because both are of the integer kind.
// clang-format off
constexpr ColumnDeclaration results_columns[] = {
    {"PRIJMENI", TFieldType::ftString, 'C', 15, declare_field<TStringField, &ResultsFields::Dbf1PRIJMENI>,
        {"Příjmení", false}},
    {"JMENO", TFieldType::ftString, 'C', 15, declare_field<TStringField, &ResultsFields::Dbf1JMENO>,
        {"Jméno", false}},
    {"RC1", TFieldType::ftString, 'C', 6, declare_field<TStringField, &ResultsFields::Dbf1RC1>,
        {"Rodné číslo, první část", false}},
    {"RC2", TFieldType::ftString, 'C', 4, declare_field<TStringField, &ResultsFields::Dbf1RC2>,
        {"Rodné číslo, druhá část", false}},
    {"POC_SPR", TFieldType::ftSmallint, 'N', 5, declare_field<TIntegerField, &ResultsFields::Dbf1POC_SPR>,
        {"Počet správných odpovědí", false}},
    {"POC_CHYB", TFieldType::ftSmallint, 'N', 5, declare_field<TIntegerField, &ResultsFields::Dbf1POC_CHYB>,
        {"Počet chyb", false}},
    {"SUMA_AGR", TFieldType::ftSmallint, 'N', 3, declare_field<TSmallintField, &ResultsFields::Dbf1SUMA_AGR>,
        {"Počet AGR v a", false}},
    {"SUMA_SM", TFieldType::ftSmallint, 'N', 3, declare_field<TSmallintField, &ResultsFields::Dbf1SUMA_SM>,
        {"Počet SM v b", false}},
    {"POM_A_S", TFieldType::ftString, 'C', 5, declare_field<TStringField, &ResultsFields::Dbf1POM_A_S>,
        {"Poměr AGR / počet správných", true}},
    {"POM_S_S", TFieldType::ftString, 'C', 5, declare_field<TStringField, &ResultsFields::Dbf1POM_S_S>,
        {"Poměr SM / počet správných", true}},
    {"ODPOVEDI", TFieldType::ftString, 'C', 254, declare_field<TStringField, &ResultsFields::Dbf1ODPOVEDI>,
        {"Odpovědi", false}},
};
// clang-format on

}  // namespace

void declare_results_field_defs(dbf::TDbfFieldDefs& defs) {
  defs.Clear();
  for (const ColumnDeclaration& column : results_columns) {
    // The order of the setters matters: each one normalises the others.
    dbf::TDbfFieldDef& def = defs.Add();
    def.SetName(column.name);
    def.SetFieldType(column.type);
    def.SetNativeFieldType(column.letter);
    def.SetSize(column.size);
    def.SetPrec(0);
  }
}

ResultsFields declare_results_schema(dbf::TDbf& table) {
  declare_results_field_defs(table.FieldDefs());
  ResultsFields fields{};
  for (const ColumnDeclaration& column : results_columns) column.declare_field(table, column, fields);
  return fields;
}

std::optional<ResultsColumnMeaning> results_column_meaning(std::string_view name) {
  for (const ColumnDeclaration& column : results_columns) {
    if (name == column.name) return column.meaning;
  }
  return std::nullopt;
}

bool is_results_table(const dbf::TDbf& table) {
  return std::all_of(std::begin(results_columns), std::end(results_columns),
                     [&](const ColumnDeclaration& column) { return table.findField(column.name) != nullptr; });
}

void write_evaluation(const ResultsFields& fields, const EvaluationResults& results) {
  fields.Dbf1POC_SPR->writeInteger(results.correct_count);
  fields.Dbf1POC_CHYB->writeInteger(results.error_count);
  fields.Dbf1SUMA_AGR->writeInteger(results.agr_sum);
  fields.Dbf1SUMA_SM->writeInteger(results.sm_sum);
  fields.Dbf1POM_A_S->writeString(results.agr_ratio_text);
  fields.Dbf1POM_S_S->writeString(results.sm_ratio_text);
}

void copy_subject_identity(const dbf::TDbf& subjects,
                           const std::function<void(IdentityPart part, const std::string& text)>& fill) {
  // The first field (often a running number) is not part of the identity.
  for (int part = 0; part < kIdentityPartCount; ++part) {
    fill(static_cast<IdentityPart>(part), subjects.fieldAt(part + 1).readString());
  }
}

}  // namespace tarni
