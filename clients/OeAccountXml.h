// The XML of a Windows Live Mail / Windows Mail "*.oeaccount" file, scanned for where each setting's element
// and text stand, so that an edit can replace exactly those bytes.
#pragma once

#include "PlatTypes.h"

#include <string>
#include <string_view>
#include <vector>

// The type attribute of a setting: "SZ", "DWORD" or "BINARY".
enum
{
    OE_TYPE_SZ = 0,
    OE_TYPE_DWORD = 1,
    OE_TYPE_BINARY = 2
};

// One setting element, with offsets into the scanned text.
struct OeXmlSetting
{
    std::string name;
    int type = OE_TYPE_SZ;
    // The text with its references decoded and its line ends made "\n", as XML reads it.
    std::string value;
    size_t start = 0;     // its '<'
    size_t end = 0;       // just behind its end tag, or behind "/>" for an empty element
    size_t textStart = 0; // its text as written; textStart == textEnd for an empty element
    size_t textEnd = 0;
    bool selfClosing = false;
};

struct OeXmlLayout
{
    std::vector<OeXmlSetting> settings; // in file order
    size_t closeTag = 0;                // the "</MessageAccount" that ends the settings
    std::string encoding;               // the declaration's encoding, empty without one
};

// Scans UTF-8 text: an optional declaration, comments and white space around one MessageAccount element that
// holds nothing but setting elements, comments and white space. A setting has a type attribute of "SZ",
// "DWORD" (eight hex digits), or "BINARY" (hex digit pairs), and only text inside. FALSE for anything else:
// text that is not UTF-8 or holds characters XML forbids (a NUL), unclosed or mismatched elements, an
// element inside a setting, unknown or malformed references, a second root, a setting named twice (which of
// the two the client takes is not known), a DOCTYPE, CDATA or processing instruction.
BOOL ScanOeAccountXml(std::string_view text, OeXmlLayout& layout);
