// How the bound controls align a field's text: as the field says (right for numbers),
// centred vertically; left when there is no field.
#pragma once

#include <Qt>

namespace dbf {

class TField;

Qt::Alignment TextAlignmentOf(const TField* field);

}  // namespace dbf
