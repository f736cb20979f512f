// FormatText: fills the placeholders of a text that may come from the translators' file.
#pragma once

#include <initializer_list>
#include <string>

// Replaces each "%s", "%i" or "%d" in order by the next argument (nothing once they run out) and "%%" by "%";
// every other character, a lone "%" included, stays as written. Safe for any text a translator writes.
std::string FormatText(const std::string& format, std::initializer_list<std::string> arguments);
