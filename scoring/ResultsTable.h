// The results table: one record per evaluated subject with identity, the six results of
// the evaluation and the answer string. Its schema is declared on a table dataset as
// column definitions (from which a missing file is created) and eleven field objects
// bound by name at every open. The subjects table has no schema: it is read by position.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "DbfFields.h"
#include "Evaluation.h"
#include "UDbfFieldDef.h"
#include "dbf.h"

namespace tarni {

// The results table's file before any configuration names another.
inline constexpr const char* initial_results_table_name = "Tarni2.dbf";

// The eleven declared field objects of the results table, in column order. The dataset
// owns them; these are views.
struct ResultsFields {
  dbf::TStringField* Dbf1PRIJMENI;
  dbf::TStringField* Dbf1JMENO;
  dbf::TStringField* Dbf1RC1;
  dbf::TStringField* Dbf1RC2;
  dbf::TIntegerField* Dbf1POC_SPR;
  dbf::TIntegerField* Dbf1POC_CHYB;
  dbf::TSmallintField* Dbf1SUMA_AGR;
  dbf::TSmallintField* Dbf1SUMA_SM;
  dbf::TStringField* Dbf1POM_A_S;
  dbf::TStringField* Dbf1POM_S_S;
  dbf::TStringField* Dbf1ODPOVEDI;
};

// Fills `defs` with the eleven column definitions (replacing what it held).
void declare_results_field_defs(dbf::TDbfFieldDefs& defs);

// REQUIRES: `table` is closed and has no field objects yet.
// Declares the column definitions and the eleven field objects on `table`.
ResultsFields declare_results_schema(dbf::TDbf& table);

// What an export for analysis needs to know of a results column beyond its field: its
// Czech label, and whether its text is a number (the two ratio texts).
struct ResultsColumnMeaning {
  const char* label;
  bool number_as_text;
};
// The meaning of the results column named `name` (exact); nothing for other names.
std::optional<ResultsColumnMeaning> results_column_meaning(std::string_view name);
// Whether `table` has all eleven results columns, so its columns mean what they mean in
// a results table. REQUIRES: `table` is open.
bool is_results_table(const dbf::TDbf& table);

// REQUIRES: the results table is in StateEdit or StateInsert.
// Writes the six results of one evaluation into the current record.
void write_evaluation(const ResultsFields& fields, const EvaluationResults& results);

// The identity parts of a subject, in the order a subjects table holds them (fields 2 to 5
// in file order) and the identity boxes receive them.
enum class IdentityPart { surname, first_name, birth_number_first, birth_number_second };
inline constexpr int kIdentityPartCount = 4;

// Reads the identity from the current record of an open subjects table, part by part in
// its text form, and hands each part to `fill` before the next one is read. A table with
// fewer than five fields fails with "List index out of bounds (%d)" at the first missing
// position, after the parts before it were handed over.
void copy_subject_identity(const dbf::TDbf& subjects,
                           const std::function<void(IdentityPart part, const std::string& text)>& fill);

}  // namespace tarni
