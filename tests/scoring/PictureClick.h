// Clicking a picture by its number, in the middle of its cell of the hit grid.
#pragma once

#include "AnswerList.h"
#include "HitGrid.h"

namespace tarni {

inline AnswerDisplays click_picture(AnswerList& list, int picture) {
  const size_t column = (picture - 1) % 6;
  const size_t row = (picture - 1) / 6;
  return list.urci_obr((column_bounds[column] + column_bounds[column + 1]) / 2,
                       (row_bounds[row] + row_bounds[row + 1]) / 2);
}

}  // namespace tarni
