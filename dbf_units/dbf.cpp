// The table dataset's settings, opening and closing, its field objects and how they
// reach the active record, and the forwarding of its events to the data sources.
#include "dbf.h"

#include <algorithm>

#include "DbfDataSource.h"
#include "DbfErrors.h"
#include "DbfForeignFields.h"
#include "DbfPaths.h"
#include "UDbfFile.h"

namespace dbf {

namespace {

const char kClosedDataSet[] = "Cannot perform this operation on a closed dataset";
const char kOpenDataSet[] = "Cannot perform this operation on an open dataset";
const char kEmptyDataSet[] = "Cannot perform this operation on an empty dataset";
const char kReadOnlyDataSet[] = "Cannot modify a read-only dataset";

bool SameText(const std::string& a, const std::string& b) {
  return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
    const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; };
    return lower(x) == lower(y);
  });
}

// Field types that a field object may present a column of another type in.
TFieldType TypeKind(TFieldType type) {
  switch (type) {
    case TFieldType::ftSmallint:
    case TFieldType::ftInteger:
    case TFieldType::ftWord:
    case TFieldType::ftAutoInc:
      return TFieldType::ftInteger;
    case TFieldType::ftCurrency:
      return TFieldType::ftFloat;
    case TFieldType::ftTime:
    case TFieldType::ftDateTime:
      return TFieldType::ftDate;
    default:
      return type;
  }
}

}  // namespace

TDbf::TDbf() : resolved_folder_(ResolveFilePath("")) {}

TDbf::~TDbf() {
  try {
    close();
  } catch (const std::exception& error) {
    seam_.Notice(error.what());
  }
  while (!data_sources_.empty()) data_sources_.latest()->SetDataSet(nullptr);
}

void TDbf::SetTableName(const std::string& table_name) {
  const size_t slash = table_name.rfind('/');
  if (slash != std::string::npos) SetFilePath(RelativeToBaseFolder(table_name.substr(0, slash + 1)));
  table_name_ = slash == std::string::npos ? table_name : table_name.substr(slash + 1);
}

void TDbf::SetFilePath(const std::string& file_path) {
  checkInactive();
  resolved_folder_ = ResolveFilePath(file_path);
  file_path_ = file_path;
}

std::string TDbf::FullName() const { return MatchExistingCase(resolved_folder_ + table_name_); }

void TDbf::SetReadOnly(bool read_only) {
  checkInactive();
  read_only_ = read_only;
}

const std::string& TDbf::Version() const {
  static const std::string version = "dbf_units v1.0";
  return version;
}

void TDbf::SetActive(bool active) {
  if (active) {
    open();
  } else {
    close();
  }
}

TField& TDbf::addField(std::unique_ptr<TField> field) {
  checkInactive();
  field->SetDataSet(this);
  fields_.push_back(std::move(field));
  return *fields_.back();
}

TField* TDbf::findField(const std::string& name) const {
  for (const auto& field : fields_) {
    if (SameText(field->FieldName(), name)) return field.get();
  }
  return nullptr;
}

TField& TDbf::fieldNamed(const std::string& name) const {
  TField* field = findField(name);
  if (field == nullptr) databaseError(FieldNotFoundMessage(name));
  return *field;
}

void TDbf::FieldIndexError(int index) {
  throw EDatabaseError("List index out of bounds (" + std::to_string(index) + ")");
}

void TDbf::open() {
  if (Active()) return;
  try {
    openTable();
  } catch (...) {
    abandonOpen();
    throw;
  }
}

void TDbf::openTable() {
  const bool make_default_fields = fields_.empty();
  if (field_defs_.Count() == 0) fillFieldDefsFromFields();
  const TCreation creation =
      open_mode_ == TDbfOpenMode::omNormal ? TCreation::OpenExisting : TCreation::CreateIfMissing;
  engine_.Open(field_defs_, FullName(), {.creation = creation, .read_only = read_only_, .seam = seam_});
  engine_.FillFieldDefs(field_defs_, columns_);
  for (int i = 0; i < static_cast<int>(columns_.size()); ++i) column_spans_.push_back(engine_.File().FieldSpan(i));
  if (make_default_fields) createDefaultFields();
  bindFields();
  window_.Allocate(wantedWindowSize(), engine_.RecordSize());
  clearWindow();
  engine_.CurrentCursor().MoveFirst();
  fillForward();
  bof_ = true;
  setState(TDataSetState::StateBrowse);
}

void TDbf::abandonOpen() noexcept {
  try {
    setState(TDataSetState::StateInactive);
  } catch (...) {
    // The open's own error is the one to report; links are inactive either way.
  }
  window_.Release();
  clearWindow();
  releaseFields();
  try {
    engine_.Close();
  } catch (...) {
    // As above: the failure that stopped the open propagates, not this one.
  }
}

void TDbf::close() {
  if (!Active()) return;
  setState(TDataSetState::StateInactive);
  window_.Release();
  clearWindow();
  releaseFields();
  engine_.Close();
}

void TDbf::createTable() { createTableFile(TCreation::Replace); }

void TDbf::createNewTable() { createTableFile(TCreation::CreateNew); }

void TDbf::createTableFile(TCreation creation) {
  checkInactive();
  if (field_defs_.Count() == 0) fillFieldDefsFromFields();
  engine_.Open(field_defs_, FullName(), {.creation = creation, .seam = seam_});
  engine_.Close();
}

void TDbf::updateFieldDefs() {
  if (Active()) return;
  engine_.Open(field_defs_, FullName(), {.read_only = true, .seam = seam_});
  try {
    engine_.File().CopyFieldDefs(field_defs_);
  } catch (...) {
    engine_.Close();
    throw;
  }
  engine_.Close();
}

void TDbf::fillFieldDefsFromFields() {
  for (const auto& field : fields_) {
    field_defs_.Add(field->FieldName(), field->DataType(), field->Size(), field->Required());
  }
}

void TDbf::createDefaultFields() {
  for (const TColumnDef& column : columns_) {
    std::unique_ptr<TField> field = CreateDefaultField(column.field_type, column.size);
    if (field == nullptr) continue;
    field->SetFieldName(column.name);
    field->SetDataSet(this);
    fields_.push_back(std::move(field));
  }
  default_fields_ = true;
}

void TDbf::bindFields() {
  for (const auto& field : fields_) bindField(*field);
}

void TDbf::bindField(TField& field) {
  const auto column = std::find_if(columns_.begin(), columns_.end(),
                                   [&](const TColumnDef& c) { return SameText(c.name, field.FieldName()); });
  if (column == columns_.end()) databaseError(FieldNotFoundMessage(field.DisplayName()));
  if (TypeKind(field.DataType()) != TypeKind(column->field_type)) {
    databaseError("Type mismatch for field '" + field.DisplayName() +
                  "', expecting: " + FieldTypeName(field.DataType()) + " actual: " + FieldTypeName(column->field_type));
  }
  field.SetFieldNo(static_cast<int>(column - columns_.begin()) + 1);
}

void TDbf::releaseFields() {
  if (default_fields_) {
    fields_.clear();
    default_fields_ = false;
  }
  for (const auto& field : fields_) field->SetFieldNo(0);
  columns_.clear();
  column_spans_.clear();
}

bool TDbf::GetFieldData(const TField& field, TFieldType type, void* dest) const {
  const TRecordBuffer* active = window_.Active();
  if (active == nullptr || !engine_.Active() || field.FieldNo() < 1 ||
      field.FieldNo() > engine_.File().FieldDefs().Count()) {
    return false;
  }
  return engine_.File().GetFieldValue(field.FieldNo() - 1, type, dest, active->record.data());
}

// A bound field's column has a span; an active buffer exists only while the table is open.
bool TDbf::GetFieldText(const TField& field, TFieldText& text) const {
  const TRecordBuffer* active = window_.Active();
  const auto column = static_cast<size_t>(field.FieldNo() - 1);
  if (active == nullptr || column >= column_spans_.size() || column_spans_[column].decoded) return false;
  TDbfFile::FieldText(column_spans_[column], active->record.data(), text);
  return true;
}

const TTableCodePage& TDbf::CodePage() const {
  return engine_.Active() ? engine_.File().CodePage() : TFieldDataSet::CodePage();
}

void TDbf::SetFieldData(TField& field, TFieldType type, const void* source) {
  checkOpen();
  checkNotEmpty();
  TRecordBuffer* active = window_.Active();
  if (field.FieldNo() < 1 || field.FieldNo() > engine_.File().FieldDefs().Count()) {
    databaseError(FieldNotFoundMessage(field.DisplayName()));
  }
  engine_.File().SetFieldValue(field.FieldNo() - 1, type, active->record.data(), source);
  // A link hearing of the change still sees whether the record was modified before it.
  dataEvent(TDataEvent::EventFieldChanged, FieldEventArgument(&field));
  modified_ = true;
}

void TDbf::FieldLayoutChanged(TField&) {
  if (Active()) dataEvent(TDataEvent::EventLayoutChanged);
}

void TDbf::attachDataSource(TDataSource* source) {
  data_sources_.add(source);
  updateBufferCount();
}

void TDbf::detachDataSource(TDataSource* source) {
  data_sources_.remove(source);
  updateBufferCount();
}

int TDbf::wantedWindowSize() const {
  int size = 1;
  for (const TDataSource* source : data_sources_) size = std::max(size, source->maxBufferCount());
  return size;
}

void TDbf::databaseError(const std::string& message) const { throw EDatabaseError(ComponentMessage(name_, message)); }

void TDbf::checkOpen() const {
  if (!Active()) databaseError(kClosedDataSet);
}

void TDbf::checkInactive() const {
  if (Active()) databaseError(kOpenDataSet);
}

bool TDbf::canModify() const { return !read_only_ && (!engine_.Active() || engine_.File().Writable()); }

std::string TDbf::cannotModifyReason() const {
  if (read_only_) return ComponentMessage(name_, kReadOnlyDataSet);
  return engine_.Active() ? engine_.File().WriteRefusal() : std::string();
}

void TDbf::checkModifiable() const {
  if (read_only_) databaseError(kReadOnlyDataSet);
  engine_.File().CheckWritable();
}

void TDbf::checkNotEmpty() const {
  if (window_.Empty()) databaseError(kEmptyDataSet);
}

bool TDbf::editing() const { return state_ == TDataSetState::StateEdit || state_ == TDataSetState::StateInsert; }

void TDbf::setState(TDataSetState state) {
  if (state_ == state) return;
  state_ = state;
  modified_ = false;
  dataEvent(TDataEvent::EventStateChanged);
}

void TDbf::dataEvent(TDataEvent event, intptr_t argument) {
  data_sources_.notifyEach([&](TDataSource* source) { source->dataEvent(event, argument); });
}

}  // namespace dbf
