// The bytes of a configuration file and the text the program works with. Files are
// written in Windows-1250 with CR LF line ends, as the systems they come from expect;
// a file that is valid UTF-8 is read as UTF-8, any other as Windows-1250.
#pragma once

#include <string>
#include <string_view>

namespace tarni {

// A UTF-8 byte order mark is dropped: it would otherwise be written back as a '?'.
std::string decode_configuration_file(std::string_view bytes);

// Every line break (CR LF, CR or LF) becomes CR LF; nothing is added at the end.
std::string encode_configuration_file(std::string_view utf8_text);

}  // namespace tarni
