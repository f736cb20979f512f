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

} // namespace

std::string SystemTextToUtf8(const std::string& text)
{
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
