// Text encodings over MultiByteToWideChar and WideCharToMultiByte.
#include "TextEncoding.h"

#include <windows.h>

#include <vector>

namespace plat {

std::string SystemTextToUtf8(const std::string& text)
{
    if (text.empty())
        return std::string();
    int size = static_cast<int>(text.size());
    int wideLength = ::MultiByteToWideChar(CP_ACP, 0, text.data(), size, nullptr, 0);
    if (wideLength <= 0)
        return std::string();
    std::vector<wchar_t> wide(wideLength);
    ::MultiByteToWideChar(CP_ACP, 0, text.data(), size, wide.data(), wideLength);
    int length = ::WideCharToMultiByte(CP_UTF8, 0, wide.data(), wideLength, nullptr, 0, nullptr, nullptr);
    if (length <= 0)
        return std::string();
    std::string utf8(length, '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, wide.data(), wideLength, &utf8[0], length, nullptr, nullptr);
    return utf8;
}

} // namespace plat
