// The hit grid: the fixed cells of the template image in which the 30 pictures lie, six
// columns by five rows. Every template has to place its pictures in these cells; the grid
// does not follow the size of the loaded bitmap.
#pragma once

#include <array>
#include <optional>

namespace tarni {

// Column c (1 to 6) holds the x strictly between bounds c - 1 and c, row r (1 to 5) the y
// strictly between bounds r - 1 and r: a bound itself, drawn as a ruled line on the
// built-in template, belongs to no cell.
inline constexpr std::array<int, 7> column_bounds = {21, 153, 284, 414, 546, 676, 783};
inline constexpr std::array<int, 6> row_bounds = {22, 136, 241, 346, 449, 552};

// The picture (1 to 30, row by row from the top left) whose cell holds the point given in
// image pixels, or nothing for a point outside every cell.
std::optional<int> picture_at(int x, int y);

}  // namespace tarni
