// Text for UTF-8 readers (the console tool's JSON): the program keeps its text in UTF-8, but a store that holds
// 8-bit text in the system's ANSI code page may hand over bytes that are no UTF-8.
#pragma once

#include <string>

namespace plat {

// text as UTF-8: UTF-8 as it is; other bytes read in the system's ANSI code page, those it does not define
// becoming U+FFFD. Never fails, so that a reader of UTF-8 is never handed bytes it must refuse.
std::string TextAsUtf8(const std::string& text);

} // namespace plat
