// The field alignment the edit box and the grid share.
#include "FieldAlignment.h"

#include "DbfFields.h"

namespace dbf {

Qt::Alignment TextAlignmentOf(const TField* field) {
  Qt::Alignment horizontal = Qt::AlignLeft;
  if (field != nullptr && field->Alignment() == TAlignment::taRightJustify) horizontal = Qt::AlignRight;
  if (field != nullptr && field->Alignment() == TAlignment::taCenter) horizontal = Qt::AlignHCenter;
  return horizontal | Qt::AlignVCenter;
}

}  // namespace dbf
