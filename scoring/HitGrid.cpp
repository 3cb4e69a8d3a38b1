#include "HitGrid.h"

#include <span>

namespace tarni {

namespace {

// The 1-based cell between two neighbouring bounds that holds `position`.
std::optional<int> cell_at(std::span<const int> bounds, int position) {
  for (size_t cell = 1; cell < bounds.size(); ++cell) {
    if (bounds[cell - 1] < position && position < bounds[cell]) {
      return static_cast<int>(cell);
    }
  }
  return std::nullopt;
}

}  // namespace

std::optional<int> picture_at(int x, int y) {
  const auto column = cell_at(column_bounds, x);
  const auto row = cell_at(row_bounds, y);
  if (!column || !row) {
    return std::nullopt;
  }
  constexpr int kColumns = static_cast<int>(column_bounds.size()) - 1;
  return (*row - 1) * kColumns + *column;
}

}  // namespace tarni
