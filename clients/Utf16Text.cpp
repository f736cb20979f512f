// Strict UTF-8 <-> UTF-16LE conversion: what a client could not read back is refused, never repaired.
#include "clients/Utf16Text.h"

namespace {

bool IsContinuation(unsigned char byte)
{
    return (byte & 0xC0) == 0x80;
}

void AppendUnit(unsigned long unit, std::string& bytes)
{
    bytes += static_cast<char>(unit & 0xFF);
    bytes += static_cast<char>((unit >> 8) & 0xFF);
}

} // namespace

BOOL NextUtf8CodePoint(std::string_view text, size_t& at, unsigned long& codePoint)
{
    if (at >= text.size())
        return FALSE;
    const unsigned char lead = static_cast<unsigned char>(text[at]);
    size_t length = 0;
    unsigned long value = 0;
    unsigned long lowest = 0;
    if (lead < 0x80) {
        codePoint = lead;
        ++at;
        return TRUE;
    } else if ((lead & 0xE0) == 0xC0) {
        length = 2;
        value = lead & 0x1F;
        lowest = 0x80;
    } else if ((lead & 0xF0) == 0xE0) {
        length = 3;
        value = lead & 0x0F;
        lowest = 0x800;
    } else if ((lead & 0xF8) == 0xF0) {
        length = 4;
        value = lead & 0x07;
        lowest = 0x10000;
    } else {
        return FALSE;
    }
    if (text.size() - at < length)
        return FALSE;
    for (size_t k = 1; k < length; ++k) {
        const unsigned char byte = static_cast<unsigned char>(text[at + k]);
        if (!IsContinuation(byte))
            return FALSE;
        value = value << 6 | (byte & 0x3F);
    }
    // Overlong forms and encoded surrogates would give two spellings of one text, or a text UTF-16 cannot
    // hold.
    if (value < lowest || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF))
        return FALSE;
    codePoint = value;
    at += length;
    return TRUE;
}

void AppendUtf8(unsigned long codePoint, std::string& utf8)
{
    if (codePoint < 0x80) {
        utf8 += static_cast<char>(codePoint);
    } else if (codePoint < 0x800) {
        utf8 += static_cast<char>(0xC0 | codePoint >> 6);
        utf8 += static_cast<char>(0x80 | (codePoint & 0x3F));
    } else if (codePoint < 0x10000) {
        utf8 += static_cast<char>(0xE0 | codePoint >> 12);
        utf8 += static_cast<char>(0x80 | (codePoint >> 6 & 0x3F));
        utf8 += static_cast<char>(0x80 | (codePoint & 0x3F));
    } else {
        utf8 += static_cast<char>(0xF0 | codePoint >> 18);
        utf8 += static_cast<char>(0x80 | (codePoint >> 12 & 0x3F));
        utf8 += static_cast<char>(0x80 | (codePoint >> 6 & 0x3F));
        utf8 += static_cast<char>(0x80 | (codePoint & 0x3F));
    }
}

BOOL IsValidUtf8(std::string_view text)
{
    size_t at = 0;
    unsigned long codePoint = 0;
    while (at < text.size()) {
        if (!NextUtf8CodePoint(text, at, codePoint))
            return FALSE;
    }
    return TRUE;
}

BOOL AppendUtf16LeFromUtf8(std::string_view utf8, std::string& bytes)
{
    bytes.reserve(bytes.size() + 2 * utf8.size());
    size_t at = 0;
    unsigned long codePoint = 0;
    while (at < utf8.size()) {
        if (!NextUtf8CodePoint(utf8, at, codePoint))
            return FALSE;
        if (codePoint >= 0x10000) {
            codePoint -= 0x10000;
            AppendUnit(0xD800 | codePoint >> 10, bytes);
            AppendUnit(0xDC00 | (codePoint & 0x3FF), bytes);
        } else {
            AppendUnit(codePoint, bytes);
        }
    }
    return TRUE;
}

BOOL AppendUtf8FromUtf16Le(std::string_view bytes, std::string& utf8)
{
    if (bytes.size() % 2 != 0)
        return FALSE;
    const size_t units = bytes.size() / 2;
    auto unitAt = [&bytes](size_t i) {
        return static_cast<unsigned long>(static_cast<unsigned char>(bytes[2 * i])) |
               static_cast<unsigned long>(static_cast<unsigned char>(bytes[2 * i + 1])) << 8;
    };
    utf8.reserve(utf8.size() + units);
    for (size_t i = 0; i < units; ++i) {
        unsigned long unit = unitAt(i);
        if (unit >= 0xDC00 && unit <= 0xDFFF)
            return FALSE;
        if (unit >= 0xD800 && unit <= 0xDBFF) {
            if (i + 1 >= units)
                return FALSE;
            const unsigned long low = unitAt(i + 1);
            if (low < 0xDC00 || low > 0xDFFF)
                return FALSE;
            unit = 0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00);
            ++i;
        }
        AppendUtf8(unit, utf8);
    }
    return TRUE;
}
