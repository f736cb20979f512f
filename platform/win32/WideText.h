// UTF-8 <-> UTF-16 at the edge of the Windows API: the program keeps its text in UTF-8, Windows in UTF-16.
#pragma once

#include "PlatTypes.h"

#include <cstddef>
#include <string>

namespace plat {

// Strict conversions: bytes that are not UTF-8, or UTF-16 with a lone surrogate, are refused (FALSE, output
// unchanged) rather than replaced, so that nothing reaches a store changed. Embedded NULs are carried.
BOOL ToWide(const char* text, size_t length, std::wstring& wide);
BOOL ToWide(const char* text, std::wstring& wide);
BOOL ToUtf8(const wchar_t* text, size_t length, std::string& utf8);
BOOL ToUtf8(const wchar_t* text, std::string& utf8);

// A text held in the ANSI code page (the older clients' own files) and back. ToAnsi refuses a text that the
// code page cannot hold exactly: no best-fit letter, no "?" in its place.
// A byte the code page leaves undefined (a C1 control as Windows gives it) is refused.
BOOL AnsiToUtf8(const std::string& ansi, std::string& utf8);
BOOL Utf8ToAnsi(const std::string& utf8, std::string& ansi);

// TRUE when wide holds U+0080 to U+009F: no client's text, only a hole of the code page.
BOOL HoldsC1Control(const std::wstring& wide);

// A UTF-8 argument for a W call: null stays null. ok becomes FALSE when the text is not UTF-8.
class CWideArg
{
public:
    explicit CWideArg(const char* text);
    const wchar_t* Get() const { return m_null ? nullptr : m_wide.c_str(); }
    BOOL IsOk() const { return m_ok; }

private:
    std::wstring m_wide;
    BOOL m_null;
    BOOL m_ok;
};

} // namespace plat
