// Strict conversion between the program's UTF-8 text and the UTF-16LE bytes that newer clients store.
#pragma once

#include "PlatTypes.h"

#include <string>
#include <string_view>

// Appends the UTF-16LE bytes of utf8 (no terminator) to bytes. FALSE, bytes then unspecified, for text that
// is not UTF-8: a cut or stray sequence byte, an overlong form, an encoded surrogate, a value past U+10FFFF.
BOOL AppendUtf16LeFromUtf8(std::string_view utf8, std::string& bytes);
// Appends the UTF-8 text of UTF-16LE bytes to utf8. FALSE, utf8 then unspecified, for an odd byte count or a
// surrogate without its partner. A zero code unit is text like any other here; callers refuse it if needed.
BOOL AppendUtf8FromUtf16Le(std::string_view bytes, std::string& utf8);
// TRUE when text is well-formed UTF-8 by the same rules.
BOOL IsValidUtf8(std::string_view text);
// Decodes one UTF-8 sequence at text[at]: the code point, with at moved past it. FALSE for a bad sequence.
BOOL NextUtf8CodePoint(std::string_view text, size_t& at, unsigned long& codePoint);
// Appends the UTF-8 form of a code point below U+110000 that is no surrogate.
void AppendUtf8(unsigned long codePoint, std::string& utf8);
