// Values of the stores kept in the system's ANSI code page.
#include "clients/CodePageText.h"

#include "TextEncoding.h"

BOOL HoldsInCodePage(const std::string& text)
{
    for (char c : text) {
        if (static_cast<unsigned char>(c) >= 0x80) {
            std::string bytes;
            return plat::Utf8ToCodePage(text, bytes);
        }
    }
    return TRUE;
}
