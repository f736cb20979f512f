// The character level of XML as the account files use it: which characters and names it allows, its
// references, and text escaped to stand between tags.
#pragma once

#include "PlatTypes.h"

#include <string>
#include <string_view>

// A character XML 1.0 allows in a document: tab, LF, CR and everything from U+0020 but the surrogates,
// U+FFFE and U+FFFF.
bool IsXmlChar(unsigned long codePoint);
bool IsXmlSpace(char c);
// Bytes of a name: ASCII letters, "_", ":" and non-ASCII bytes start one; digits, "-" and "." may follow.
bool IsXmlNameStart(char c);
bool IsXmlNameChar(char c);
// The value of a hex digit, or -1.
int XmlHexDigit(char c);

// Appends what the reference with this body (the text between "&" and ";") stands for: one of the five
// named entities, or "#" with decimal digits or "#x" with hex digits naming an allowed character. FALSE for
// any other body.
BOOL DecodeXmlReference(std::string_view body, std::string& out);

// TRUE for UTF-8 text that is a name by the rules above.
BOOL IsXmlName(std::string_view name);

// Appends text as XML character data: "&", "<", ">", quotes and apostrophes as entities, tab and line ends
// as numeric references, so that the text reads back exactly and the setting stays on its line. FALSE for
// text that is not UTF-8 or holds characters XML cannot carry at all (NUL and other controls).
BOOL AppendXmlEscaped(std::string_view text, std::string& out);
