// Text encodings: the program keeps text in the system's ANSI code page; what it hands to UTF-8 readers
// (the console tool's JSON) is converted here.
#pragma once

#include <string>

namespace plat {

// text, in the system's ANSI code page, as UTF-8. Bytes the code page does not define become U+FFFD.
std::string SystemTextToUtf8(const std::string& text);

} // namespace plat
