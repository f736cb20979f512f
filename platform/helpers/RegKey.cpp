// CRegKey: the open-key wrapper and its typed reads, over the calls of Registry.h.
#include "RegKey.h"

#include <cstring>
#include <vector>

namespace plat {

LONG CRegKey::Open(HKEY root, const char* path, REGSAM access)
{
    Close();
    HKEY key = nullptr;
    LONG result = RegOpen(root, path, access, &key);
    if (result == ERROR_SUCCESS)
        m_key = key;
    return result;
}

LONG CRegKey::Create(HKEY root, const char* path, REGSAM access)
{
    Close();
    HKEY key = nullptr;
    LONG result = RegCreate(root, path, access, &key);
    if (result == ERROR_SUCCESS)
        m_key = key;
    return result;
}

void CRegKey::Close()
{
    if (m_key) {
        RegClose(m_key);
        m_key = nullptr;
    }
}

LONG CRegKey::QueryString(const char* name, std::string& text, DWORD limit, DWORD* typeOut,
                          BOOL anyType) const
{
    if (!m_key)
        return ERROR_INVALID_HANDLE;
    return QueryStringValue(m_key, name, text, limit, typeOut, anyType);
}

LONG CRegKey::QueryDword(const char* name, DWORD& value) const
{
    if (!m_key)
        return ERROR_INVALID_HANDLE;
    return QueryDwordValue(m_key, name, value);
}

LONG QueryStringValue(HKEY key, const char* name, std::string& text, DWORD limit, DWORD* typeOut,
                      BOOL anyType)
{
    // One byte more than the size asked for: the stored string may lack its NUL, and we add it. Most values
    // fit a small buffer on the stack; only a longer one takes one of the caller's limit.
    const DWORD kSmall = 512;
    char small[kSmall + 1];
    std::vector<char> large;
    char* buffer = small;
    DWORD room = limit < kSmall ? limit : kSmall;
    DWORD type = REG_NONE;
    DWORD size = room;
    LONG result = RegQuery(key, name, &type, buffer, &size);
    if (result == ERROR_MORE_DATA && limit > room) {
        try {
            large.resize(static_cast<size_t>(limit) + 1);
        } catch (...) {
            return ERROR_NOT_ENOUGH_MEMORY;
        }
        buffer = large.data();
        room = limit;
        size = room;
        result = RegQuery(key, name, &type, buffer, &size);
    }
    if (result != ERROR_SUCCESS)
        return result;
    if (!anyType && type != REG_SZ)
        return ERROR_INVALID_DATATYPE;
    if (size > room)
        return ERROR_MORE_DATA;
    buffer[size] = 0;
    try {
        text.assign(buffer, strlen(buffer));
    } catch (...) {
        return ERROR_NOT_ENOUGH_MEMORY;
    }
    if (typeOut)
        *typeOut = type;
    return ERROR_SUCCESS;
}

LONG QueryDwordValue(HKEY key, const char* name, DWORD& value)
{
    unsigned char buffer[8] = {};
    DWORD type = REG_NONE;
    DWORD size = sizeof(buffer);
    LONG result = RegQuery(key, name, &type, buffer, &size);
    if (result == ERROR_MORE_DATA)
        return ERROR_INVALID_DATATYPE;
    if (result != ERROR_SUCCESS)
        return result;
    if (type != REG_DWORD || size != sizeof(DWORD))
        return ERROR_INVALID_DATATYPE;
    memcpy(&value, buffer, sizeof(DWORD));
    return ERROR_SUCCESS;
}

LONG CRegKey::SetString(const char* name, const std::string& text) const
{
    if (!m_key)
        return ERROR_INVALID_HANDLE;
    return RegWrite(m_key, name, REG_SZ, text.c_str(), static_cast<DWORD>(text.size() + 1));
}

LONG CRegKey::SetDword(const char* name, DWORD value) const
{
    if (!m_key)
        return ERROR_INVALID_HANDLE;
    return RegWrite(m_key, name, REG_DWORD, &value, sizeof(value));
}

} // namespace plat
