// Text encodings: the portable backend's system code page is Windows-1252, as on the machines we ship to.
#include "TextEncoding.h"

namespace plat {

namespace {

// 0x80 to 0x9F of Windows-1252; 0 where the code page defines nothing.
const unsigned short kHighControls[32] = {0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                          0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,
                                          0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                          0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

void AppendUtf8(std::string& out, unsigned code)
{
    if (code < 0x80) {
        out += static_cast<char>(code);
    } else if (code < 0x800) {
        out += static_cast<char>(0xC0 | (code >> 6));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | (code >> 12));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    }
}

// The code point of the well-formed UTF-8 sequence at text[i], moving i past it; FALSE for a malformed one.
bool NextCodePoint(const std::string& text, size_t& i, unsigned& code)
{
    const unsigned char c = static_cast<unsigned char>(text[i]);
    size_t extra = c < 0x80 ? 0 : (c >> 5) == 0x6 ? 1 : (c >> 4) == 0xE ? 2 : (c >> 3) == 0x1E ? 3 : 4;
    if (extra == 4 || (extra > 0 && i + extra >= text.size()))
        return false;
    code = extra == 0 ? c : c & (0x3F >> extra);
    for (size_t k = 1; k <= extra; ++k) {
        const unsigned char next = static_cast<unsigned char>(text[i + k]);
        if ((next & 0xC0) != 0x80)
            return false;
        code = (code << 6) | (next & 0x3F);
    }
    const unsigned least[] = {0, 0x80, 0x800, 0x10000};
    if (code < least[extra] || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
        return false;
    i += extra + 1;
    return true;
}

// The Windows-1252 byte of a code point; FALSE when the code page has none.
bool CodePageByte(unsigned code, unsigned char& byte)
{
    if (code < 0x80 || (code >= 0xA0 && code <= 0xFF)) {
        byte = static_cast<unsigned char>(code);
        return true;
    }
    for (unsigned i = 0; i < 32; ++i) {
        if (kHighControls[i] != 0 && kHighControls[i] == code) {
            byte = static_cast<unsigned char>(0x80 + i);
            return true;
        }
    }
    return false;
}

// TRUE when text is well-formed UTF-8 (no overlong form, no surrogate, nothing past U+10FFFF).
bool IsUtf8(const std::string& text)
{
    unsigned code = 0;
    for (size_t i = 0; i < text.size();) {
        if (!NextCodePoint(text, i, code))
            return false;
    }
    return true;
}

} // namespace

BOOL CodePageToUtf8(const std::string& bytes, std::string& utf8)
{
    std::string result;
    result.reserve(bytes.size());
    for (unsigned char c : bytes) {
        unsigned code = c;
        if (c >= 0x80 && c < 0xA0) {
            code = kHighControls[c - 0x80];
            if (code == 0)
                return FALSE;
        }
        AppendUtf8(result, code);
    }
    utf8.swap(result);
    return TRUE;
}

BOOL Utf8ToCodePage(const std::string& utf8, std::string& bytes)
{
    std::string result;
    result.reserve(utf8.size());
    for (size_t i = 0; i < utf8.size();) {
        unsigned code = 0;
        unsigned char byte = 0;
        if (!NextCodePoint(utf8, i, code) || !CodePageByte(code, byte))
            return FALSE;
        result += static_cast<char>(byte);
    }
    bytes.swap(result);
    return TRUE;
}

std::string TextAsUtf8(const std::string& text)
{
    if (IsUtf8(text))
        return text;
    std::string utf8;
    for (unsigned char c : text) {
        unsigned code = c;
        if (c >= 0x80 && c < 0xA0)
            code = kHighControls[c - 0x80] ? kHighControls[c - 0x80] : 0xFFFD;
        AppendUtf8(utf8, code);
    }
    return utf8;
}

} // namespace plat
