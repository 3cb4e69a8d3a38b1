// Code page 852, in which the character fields of table files hold their text, and the
// UTF-8 text of the program. A character that code page 852 lacks is stored as '?'.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace dbf {

// True when every byte is below 0x80: such a text is the same in code page 852 and UTF-8.
bool IsAscii(std::string_view text);

std::string OemToUtf8(std::string_view oem);
std::string Utf8ToOem(std::string_view utf8);

// Number of characters (code points) of a UTF-8 text.
size_t Utf8Length(std::string_view utf8);
// The first `count` characters of a UTF-8 text.
std::string Utf8Left(std::string_view utf8, size_t count);

// True when the two UTF-8 texts differ at most in the letter case of ASCII and Latin
// letters (those of code page 852 among them), as file names on the systems the tables
// come from compare.
bool Utf8EqualIgnoringCase(std::string_view a, std::string_view b);

}  // namespace dbf
