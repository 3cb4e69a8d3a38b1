// The states of a table dataset and the change events it reports, through its data
// sources, to the data links of bound controls. Every event carries an integer argument;
// events about one field carry the field itself, converted with the helpers below.
#pragma once

#include <cstdint>

namespace dbf {

class TField;

enum class TDataSetState { StateInactive, StateBrowse, StateEdit, StateInsert };

enum class TDataEvent {
  EventFieldChanged,    // argument: the field assigned in the active record
  EventRecordChanged,   // the current record entered StateEdit
  EventDataSetChanged,  // the record window was rebuilt
  EventScrolled,        // argument: rows the window shifted (negative: towards the end)
  EventLayoutChanged,   // the field list or a field's presentation changed
  EventWriteBack,       // bound controls write their pending text into their fields
  EventStateChanged,
  EventLeaveEditing,
  EventFocusField,  // argument: the field whose control is to take the focus
};

inline intptr_t FieldEventArgument(const TField* field) { return reinterpret_cast<intptr_t>(field); }

inline TField* FieldOfEventArgument(intptr_t argument) { return reinterpret_cast<TField*>(argument); }

}  // namespace dbf
