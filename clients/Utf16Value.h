// The text values that Outlook 2007 to 365 keeps as REG_BINARY in a profile's accounts: UTF-16LE ended by
// one zero code unit.
#pragma once

#include "PlatTypes.h"

#include <string>

// The UTF-8 text of a stored value. FALSE, text unchanged, for an odd byte count, a value not ended by two
// zero bytes, a zero code unit before the end (the text would be cut), or a surrogate without its partner.
BOOL DecodeUtf16Value(const std::string& bytes, std::string& text);
// The stored form of UTF-8 text: its UTF-16LE bytes and two zero bytes. FALSE, bytes unchanged, for text
// that is not UTF-8 or holds a NUL (it could not be read back whole).
BOOL EncodeUtf16Value(const std::string& text, std::string& bytes);
