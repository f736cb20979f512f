// Text in the ANSI code page over the strict converters of the W calls.
#include "TextEncoding.h"
#include "WideText.h"

#include <windows.h>

#include <vector>

namespace plat {

std::string TextAsUtf8(const std::string& text)
{
    std::wstring strict;
    if (text.empty() || ToWide(text.data(), text.size(), strict))
        return text;
    // Bytes of a store's own code page: read them as Windows would, undefined ones as U+FFFD.
    const int size = static_cast<int>(text.size());
    const int wideLength = ::MultiByteToWideChar(CP_ACP, 0, text.data(), size, nullptr, 0);
    if (wideLength <= 0)
        return std::string();
    std::vector<wchar_t> wide(static_cast<size_t>(wideLength));
    ::MultiByteToWideChar(CP_ACP, 0, text.data(), size, wide.data(), wideLength);
    for (wchar_t& c : wide) {
        if (c >= 0x80 && c <= 0x9F)
            c = 0xFFFD;
    }
    std::string utf8;
    if (!ToUtf8(wide.data(), wide.size(), utf8))
        return std::string();
    return utf8;
}

BOOL CodePageToUtf8(const std::string& bytes, std::string& utf8)
{
    return AnsiToUtf8(bytes, utf8);
}

BOOL Utf8ToCodePage(const std::string& utf8, std::string& bytes)
{
    return Utf8ToAnsi(utf8, bytes);
}

} // namespace plat
