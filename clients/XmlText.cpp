// The character level of XML: the characters and names it allows, references, escaped text.
#include "clients/XmlText.h"

#include "clients/Utf16Text.h"

#include <utility>

bool IsXmlChar(unsigned long c)
{
    return c == 0x9 || c == 0xA || c == 0xD || (c >= 0x20 && c <= 0xD7FF) || (c >= 0xE000 && c <= 0xFFFD) ||
           (c >= 0x10000 && c <= 0x10FFFF);
}

bool IsXmlSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

bool IsXmlNameStart(char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_' || c == ':' ||
           static_cast<unsigned char>(c) >= 0x80;
}

bool IsXmlNameChar(char c)
{
    return IsXmlNameStart(c) || (c >= '0' && c <= '9') || c == '-' || c == '.';
}

int XmlHexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

BOOL DecodeXmlReference(std::string_view body, std::string& out)
{
    const std::pair<const char*, char> named[] = {
        {"amp", '&'}, {"lt", '<'}, {"gt", '>'}, {"quot", '"'}, {"apos", '\''}};
    for (const auto& entity : named) {
        if (body == entity.first) {
            out += entity.second;
            return TRUE;
        }
    }
    if (body.size() < 2 || body[0] != '#')
        return FALSE;
    const bool hex = body[1] == 'x';
    const size_t digits = hex ? 2 : 1;
    if (body.size() <= digits)
        return FALSE;
    unsigned long value = 0;
    for (size_t i = digits; i < body.size(); ++i) {
        const int digit = XmlHexDigit(body[i]);
        if (digit < 0 || (!hex && digit > 9))
            return FALSE;
        value = value * (hex ? 16 : 10) + static_cast<unsigned long>(digit);
        if (value > 0x10FFFF)
            return FALSE;
    }
    if (!IsXmlChar(value))
        return FALSE;
    AppendUtf8(value, out);
    return TRUE;
}

BOOL IsXmlName(std::string_view name)
{
    if (name.empty() || !IsXmlNameStart(name[0]) || !IsValidUtf8(name))
        return FALSE;
    for (char c : name) {
        if (!IsXmlNameChar(c))
            return FALSE;
    }
    return TRUE;
}

BOOL AppendXmlEscaped(std::string_view text, std::string& out)
{
    size_t at = 0;
    while (at < text.size()) {
        const size_t from = at;
        unsigned long c = 0;
        if (!NextUtf8CodePoint(text, at, c) || !IsXmlChar(c))
            return FALSE;
        switch (c) {
        case '&':
            out += "&amp;";
            break;
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        case '"':
            out += "&quot;";
            break;
        case '\'':
            out += "&apos;";
            break;
        case '\t':
            out += "&#9;";
            break;
        case '\n':
            out += "&#10;";
            break;
        case '\r':
            out += "&#13;";
            break;
        default:
            out.append(text.data() + from, at - from);
            break;
        }
    }
    return TRUE;
}
