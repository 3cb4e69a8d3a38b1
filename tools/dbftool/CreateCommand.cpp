// `dbftool create FILE --field NAME:LETTER:LENGTH[:DECIMALS]... | --results`: creates an
// empty table from field definitions, or with the results table's schema. An existing
// file is never emptied: create makes new tables only.
#include <algorithm>
#include <charconv>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "DbfToolCommands.h"
#include "ResultsTable.h"
#include "dbf.h"

namespace dbftool {

namespace {

// The letters whose columns the table library reads and writes in full and that need no
// companion file; memo letters would leave a table other programs cannot open.
constexpr std::string_view kCreatableLetters = "CNFLD";
// A field descriptor holds a name of at most this many characters.
constexpr size_t kLongestFieldName = 10;

std::vector<std::string> SplitAtColons(const std::string& text) {
  std::vector<std::string> parts(1);
  for (const char c : text) {
    if (c == ':') {
      parts.emplace_back();
    } else {
      parts.back() += c;
    }
  }
  return parts;
}

int32_t ParseCount(const std::string& text, const std::string& spec) {
  int32_t value = 0;
  const auto result = std::from_chars(text.data(), text.data() + text.size(), value);
  if (text.empty() || result.ec != std::errc() || result.ptr != text.data() + text.size()) {
    throw TUsageError("Bad --field " + spec + ": '" + text + "' is not a number");
  }
  return value;
}

bool IsAsciiLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }
bool IsNameCharacter(char c) { return IsAsciiLetter(c) || (c >= '0' && c <= '9') || c == '_'; }
char UpperAscii(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

// dBase names: a letter, then letters, digits and '_'; stored in upper case, as the
// library reads names.
std::string FieldName(const std::string& name, const std::string& spec) {
  if (name.empty() || name.size() > kLongestFieldName || !IsAsciiLetter(name.front()) ||
      !std::all_of(name.begin(), name.end(), IsNameCharacter)) {
    throw TUsageError("Bad --field " + spec + ": a name is 1 to 10 letters, digits or '_', starting with a letter");
  }
  std::string upper = name;
  std::transform(upper.begin(), upper.end(), upper.begin(), UpperAscii);
  return upper;
}

char FieldLetter(const std::string& letter, const std::string& spec) {
  if (letter.size() != 1 || kCreatableLetters.find(UpperAscii(letter[0])) == std::string_view::npos) {
    throw TUsageError("Bad --field " + spec + ": the letter is one of C, N, F, L, D");
  }
  return UpperAscii(letter[0]);
}

// Adds the definition NAME:LETTER:LENGTH[:DECIMALS] to `defs`. Length and decimals are
// set before the letter, as for a descriptor read from a file; a length or decimal count
// that the letter does not allow is refused rather than quietly changed.
void AddFieldSpec(dbf::TDbfFieldDefs& defs, const std::string& spec) {
  const std::vector<std::string> parts = SplitAtColons(spec);
  if (parts.size() != 3 && parts.size() != 4) {
    throw TUsageError("Bad --field " + spec + ": expected NAME:LETTER:LENGTH[:DECIMALS]");
  }
  const std::string name = FieldName(parts[0], spec);
  const char letter = FieldLetter(parts[1], spec);
  const int32_t length = ParseCount(parts[2], spec);
  const int32_t decimals = parts.size() == 4 ? ParseCount(parts[3], spec) : 0;
  for (int i = 0; i < defs.Count(); ++i) {
    if (defs.Items(i).Name() == name) throw TUsageError("Bad --field " + spec + ": " + name + " is named twice");
  }
  dbf::TDbfFieldDef& def = defs.Add();
  def.SetName(name);
  def.SetSize(length);
  def.SetPrec(decimals);
  def.SetNativeFieldType(letter);
  if (def.Size() != length || def.Prec() != decimals) {
    const std::string nearest = std::to_string(def.Size()) + ", " + std::to_string(def.Prec()) + " decimals";
    throw TUsageError("Bad --field " + spec + ": a field of letter " + std::string(1, letter) + " cannot have length " +
                      std::to_string(length) + " with " + std::to_string(decimals) + " decimals (nearest: length " +
                      nearest + ")");
  }
}

void DeclareColumns(dbf::TDbfFieldDefs& defs, const TCommandLine& line) {
  const std::vector<std::string> specs = line.Values("--field");
  const bool results = line.Has("--results");
  if (results == !specs.empty()) throw TUsageError("Give either --field definitions or --results");
  if (results) {
    tarni::declare_results_field_defs(defs);
    return;
  }
  for (const std::string& spec : specs) AddFieldSpec(defs, spec);
}

int RunCreate(const std::vector<std::string>& arguments) {
  const TCommandLine line = ParseCommandLine(arguments, {{"--field", true}, {"--results", false}}, 1);
  dbf::TDbf table;
  PointAtFile(table, line.Positional(0, "FILE"));
  DeclareColumns(table.FieldDefs(), line);
  // Refuses any existing name, one that differs only in letter case included.
  table.createNewTable();
  return 0;
}

const TCommandRegistration kCreate("create", "FILE --field NAME:LETTER:LENGTH[:DECIMALS]... | --results",
                                   "creates an empty table from field definitions or with the results schema",
                                   RunCreate);

}  // namespace

}  // namespace dbftool
