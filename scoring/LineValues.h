// Cutting values out of configuration lines. Each value stands at the start of its line
// and ends at a separator; whatever follows is a comment. The configuration editor's
// test display uses the same functions, so both read a file alike.
#pragma once

#include <string>
#include <string_view>

namespace tarni {

// The text before the first `separator`, cut before its first "#". Empty when the line
// holds no separator: a value must be followed by its separator to count.
std::string line_value(std::string_view line, char separator);

// Item k (from 1) of a comma-separated list value. Only the text before the list's first
// space is scanned, so a list with no space after it has only empty items. A trailing
// comma makes the item after the last one empty; without it that item repeats the last.
std::string list_item(int k, std::string_view list_value);

}  // namespace tarni
