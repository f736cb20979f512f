// The strict UTF-8 <-> UTF-16 and ANSI conversions of WideText.h.
#include "WideText.h"

#include <climits>
#include <cstring>
#include <cwchar>

namespace plat {

BOOL HoldsC1Control(const std::wstring& wide)
{
    for (wchar_t c : wide) {
        if (c >= 0x80 && c <= 0x9F)
            return TRUE;
    }
    return FALSE;
}

BOOL ToWide(const char* text, size_t length, std::wstring& wide)
{
    if (!text || length > INT_MAX)
        return FALSE;
    if (length == 0) {
        wide.clear();
        return TRUE;
    }
    const int size = static_cast<int>(length);
    int needed = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text, size, nullptr, 0);
    if (needed <= 0)
        return FALSE;
    try {
        std::wstring result(static_cast<size_t>(needed), L'\0');
        if (MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text, size, &result[0], needed) != needed)
            return FALSE;
        wide.swap(result);
    } catch (...) {
        return FALSE;
    }
    return TRUE;
}

BOOL ToWide(const char* text, std::wstring& wide)
{
    return text ? ToWide(text, strlen(text), wide) : FALSE;
}

BOOL ToUtf8(const wchar_t* text, size_t length, std::string& utf8)
{
    if (!text || length > INT_MAX)
        return FALSE;
    if (length == 0) {
        utf8.clear();
        return TRUE;
    }
    const int size = static_cast<int>(length);
    int needed = WideCharToMultiByte(CP_UTF8, WC_ERR_INVALID_CHARS, text, size, nullptr, 0, nullptr, nullptr);
    if (needed <= 0)
        return FALSE;
    try {
        std::string result(static_cast<size_t>(needed), '\0');
        if (WideCharToMultiByte(CP_UTF8, WC_ERR_INVALID_CHARS, text, size, &result[0], needed, nullptr,
                                nullptr) != needed)
            return FALSE;
        utf8.swap(result);
    } catch (...) {
        return FALSE;
    }
    return TRUE;
}

BOOL ToUtf8(const wchar_t* text, std::string& utf8)
{
    return text ? ToUtf8(text, wcslen(text), utf8) : FALSE;
}

BOOL AnsiToUtf8(const std::string& ansi, std::string& utf8)
{
    if (ansi.empty()) {
        utf8.clear();
        return TRUE;
    }
    if (ansi.size() > INT_MAX)
        return FALSE;
    const int size = static_cast<int>(ansi.size());
    int needed = MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, ansi.data(), size, nullptr, 0);
    if (needed <= 0)
        return FALSE;
    std::wstring wide;
    try {
        wide.assign(static_cast<size_t>(needed), L'\0');
    } catch (...) {
        return FALSE;
    }
    if (MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, ansi.data(), size, &wide[0], needed) != needed)
        return FALSE;
    // Windows fills the holes of a single-byte code page with the C1 control of the same number.
    if (HoldsC1Control(wide))
        return FALSE;
    return ToUtf8(wide.data(), wide.size(), utf8);
}

BOOL Utf8ToAnsi(const std::string& utf8, std::string& ansi)
{
    std::wstring wide;
    if (!ToWide(utf8.data(), utf8.size(), wide))
        return FALSE;
    if (wide.empty()) {
        ansi.clear();
        return TRUE;
    }
    const int size = static_cast<int>(wide.size());
    BOOL usedDefault = FALSE;
    int needed = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.data(), size, nullptr, 0, nullptr,
                                     &usedDefault);
    if (needed <= 0 || usedDefault)
        return FALSE;
    std::string result;
    try {
        result.assign(static_cast<size_t>(needed), '\0');
    } catch (...) {
        return FALSE;
    }
    if (WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.data(), size, &result[0], needed, nullptr,
                            &usedDefault) != needed ||
        usedDefault)
        return FALSE;
    // A code page may still map a letter to a look-alike without calling it a default: read it back to be
    // sure.
    std::string back;
    if (!AnsiToUtf8(result, back) || back != utf8)
        return FALSE;
    ansi.swap(result);
    return TRUE;
}

CWideArg::CWideArg(const char* text) : m_null(text == nullptr), m_ok(TRUE)
{
    if (text && !ToWide(text, m_wide))
        m_ok = FALSE;
}

} // namespace plat
