// Text in the system's ANSI code page: the program keeps its text in UTF-8, but the older clients keep their
// settings files in the code page, and a value read from or written to such a file is converted here.
#pragma once

#include "PlatTypes.h"

#include <string>

namespace plat {

// text as UTF-8: UTF-8 as it is; other bytes read in the system's ANSI code page, those it does not define
// becoming U+FFFD. Never fails, so that a reader of UTF-8 is never handed bytes it must refuse.
std::string TextAsUtf8(const std::string& text);

/*
 * Strict conversions between the ANSI code page and UTF-8, for a value that goes back where it came from.
 * CodePageToUtf8: FALSE (utf8 unchanged) when a byte, or a sequence of a multi-byte code page, is one the
 * code page does not define. Windows gives the holes of a single-byte code page (0x81, 0x8D, 0x8F, 0x90 and
 * 0x9D of Windows-1252) the C1 control of the same number; no client writes one, so they are undefined here
 * too. Utf8ToCodePage: FALSE (bytes unchanged) when the text is not UTF-8 or holds a character the code page
 *   cannot hold exactly: no best-fit look-alike, no "?" in its place, no C1 control.
 * Both carry NULs and take the empty text. The portable backend's code page is Windows-1252, so that tests
 * give the same bytes everywhere.
 */
BOOL CodePageToUtf8(const std::string& bytes, std::string& utf8);
BOOL Utf8ToCodePage(const std::string& utf8, std::string& bytes);

} // namespace plat
