// The bytes of a configuration file and the text the program works with. Files are
// written in Windows-1250 with CR LF line ends, as the systems they come from expect;
// text that Windows-1250 cannot hold is written as UTF-8 with a byte-order mark instead
// of losing characters to '?'.
#pragma once

#include <string>
#include <string_view>

namespace tarni {

// A byte-order mark means UTF-8 (the mark is dropped); otherwise bytes that are valid
// UTF-8 and whose characters all exist in Windows-1250 are UTF-8, and anything else is
// Windows-1250 (whose bytes may happen to form valid UTF-8 of other characters).
std::string decode_configuration_file(std::string_view bytes);

// Every line break (CR LF, CR or LF) becomes CR LF; nothing is added at the end.
std::string encode_configuration_file(std::string_view utf8_text);

}  // namespace tarni
