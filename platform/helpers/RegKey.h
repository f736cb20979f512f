// CRegKey: an open registry key that closes itself, with the typed reads that callers repeat.
#pragma once

#include "Registry.h"

#include <string>

namespace plat {

class CRegKey
{
public:
    CRegKey() = default;
    ~CRegKey() { Close(); }
    CRegKey(const CRegKey&) = delete;
    CRegKey& operator=(const CRegKey&) = delete;

    LONG Open(HKEY root, const char* path, REGSAM access);
    LONG Create(HKEY root, const char* path, REGSAM access);
    void Close();
    HKEY Get() const { return m_key; }
    BOOL IsOpen() const { return m_key != nullptr; }

    // Reads a string value in a buffer of limit bytes (the Win32 callers' buffer size), terminated whole.
    // ERROR_SUCCESS, ERROR_FILE_NOT_FOUND when missing, ERROR_MORE_DATA when longer than limit (never cut),
    // ERROR_INVALID_DATATYPE when its type is not REG_SZ (any type is taken when anyType is TRUE).
    // text and *typeOut change only on success.
    LONG QueryString(const char* name, std::string& text, DWORD limit, DWORD* typeOut = nullptr,
                     BOOL anyType = FALSE) const;
    // A REG_DWORD of exactly 4 bytes; ERROR_INVALID_DATATYPE for another type or size.
    LONG QueryDword(const char* name, DWORD& value) const;
    LONG SetString(const char* name, const std::string& text) const;
    LONG SetDword(const char* name, DWORD value) const;

private:
    HKEY m_key = nullptr;
};

// The typed reads of CRegKey for a key the caller holds open.
LONG QueryStringValue(HKEY key, const char* name, std::string& text, DWORD limit, DWORD* typeOut = nullptr,
                      BOOL anyType = FALSE);
LONG QueryDwordValue(HKEY key, const char* name, DWORD& value);

} // namespace plat
