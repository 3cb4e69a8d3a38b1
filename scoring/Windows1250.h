// Windows-1250, the 8-bit code page in which configuration files are written, and the
// UTF-8 text the program works in.
#pragma once

#include <string>
#include <string_view>

namespace tarni {

// The five bytes that Windows-1250 leaves undefined read as the control characters of the
// same number, as the systems the files come from read them, so they survive a round trip.
std::string windows1250_to_utf8(std::string_view bytes);

// A character that Windows-1250 lacks, or a byte that is not UTF-8, becomes '?'.
std::string utf8_to_windows1250(std::string_view utf8);

}  // namespace tarni
