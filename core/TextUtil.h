// Small text helpers for the single-byte strings read from client stores.
#pragma once

#include <string>

// ASCII letters compared without regard to case, as the clients and Windows compare names.
bool EqualsNoCase(const std::string& a, const std::string& b);
std::string ToLowerAscii(std::string text);
// TRUE when text is non-empty and made of the digits 0 to 9 only.
bool IsAllDigits(const std::string& text);
