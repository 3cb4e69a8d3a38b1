#include "ResultsTable.h"

#include <memory>

namespace tarni {

namespace {

using dbf::TFieldType;

struct ColumnDeclaration {
  const char* name;
  TFieldType type;
  char letter;
  int32_t size;
};

// The declared columns in file order. The four counts are declared as small integers of
// letter N; a count of five digits still reads back from the file as an integer column,
// which binds to its integer field object because both are of the integer kind.
constexpr ColumnDeclaration results_columns[] = {
    {"PRIJMENI", TFieldType::ftString, 'C', 15},
    {"JMENO", TFieldType::ftString, 'C', 15},
    {"RC1", TFieldType::ftString, 'C', 6},
    {"RC2", TFieldType::ftString, 'C', 4},
    {"POC_SPR", TFieldType::ftSmallint, 'N', 5},
    {"POC_CHYB", TFieldType::ftSmallint, 'N', 5},
    {"SUMA_AGR", TFieldType::ftSmallint, 'N', 3},
    {"SUMA_SM", TFieldType::ftSmallint, 'N', 3},
    {"POM_A_S", TFieldType::ftString, 'C', 5},
    {"POM_S_S", TFieldType::ftString, 'C', 5},
    {"ODPOVEDI", TFieldType::ftString, 'C', 254},
};

template <typename Field>
Field* declare_field(dbf::TDbf& table, const char* name, int32_t size = 0) {
  auto field = std::make_unique<Field>();
  field->SetFieldName(name);
  if (size > 0) field->SetSize(size);
  return static_cast<Field*>(&table.addField(std::move(field)));
}

dbf::TStringField* declare_string(dbf::TDbf& table, const char* name, int32_t size) {
  return declare_field<dbf::TStringField>(table, name, size);
}

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
  fields.Dbf1PRIJMENI = declare_string(table, "PRIJMENI", 15);
  fields.Dbf1JMENO = declare_string(table, "JMENO", 15);
  fields.Dbf1RC1 = declare_string(table, "RC1", 6);
  fields.Dbf1RC2 = declare_string(table, "RC2", 4);
  fields.Dbf1POC_SPR = declare_field<dbf::TIntegerField>(table, "POC_SPR");
  fields.Dbf1POC_CHYB = declare_field<dbf::TIntegerField>(table, "POC_CHYB");
  fields.Dbf1SUMA_AGR = declare_field<dbf::TSmallintField>(table, "SUMA_AGR");
  fields.Dbf1SUMA_SM = declare_field<dbf::TSmallintField>(table, "SUMA_SM");
  fields.Dbf1POM_A_S = declare_string(table, "POM_A_S", 5);
  fields.Dbf1POM_S_S = declare_string(table, "POM_S_S", 5);
  fields.Dbf1ODPOVEDI = declare_string(table, "ODPOVEDI", 254);
  return fields;
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
