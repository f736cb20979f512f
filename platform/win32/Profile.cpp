// The profile calls of Profile.h over the Windows private-profile functions.
#include "Profile.h"
#include "ProfileGuard.h"

#include <vector>

namespace plat {

DWORD ProfileGetString(const char* section, const char* key, const char* def, char* buffer, DWORD size,
                       const char* path)
{
    return GetPrivateProfileStringA(section, key, def, buffer, size, path ? path : "");
}

BOOL ProfileGetStrings(const char* section, const char* const* keys, size_t count, std::string* values,
                       DWORD limit, const char* path)
{
    if (!StartProfileGetStrings(section, keys, count, values))
        return FALSE;
    BOOL whole = TRUE;
    try {
        // Most values fit the clients' own 256 characters; a longer one is read again with more room.
        const DWORD largest = limit < 0xFFFFFFFDu ? limit + 2 : 0xFFFFFFFFu;
        std::vector<char> buffer(256);
        for (size_t i = 0; i < count; ++i) {
            for (DWORD size = largest < 256 ? largest : 256;;) {
                if (buffer.size() < size)
                    buffer.resize(size);
                const DWORD length =
                    GetPrivateProfileStringA(section, keys[i], "", buffer.data(), size, path ? path : "");
                // A cut value fills the buffer to size - 1; size is at most limit + 2.
                if (length + 1 < size) {
                    values[i].assign(buffer.data(), length);
                    break;
                }
                if (size >= largest) {
                    whole = FALSE;
                    break;
                }
                size = size > largest / 2 ? largest : size * 2;
            }
        }
    } catch (...) {
        for (size_t i = 0; i < count; ++i)
            values[i].clear();
        return FALSE;
    }
    return whole;
}

DWORD ProfileGetSection(const char* section, char* buffer, DWORD size, const char* path)
{
    return GetPrivateProfileSectionA(section, buffer, size, path ? path : "");
}

UINT ProfileGetInt(const char* section, const char* key, int def, const char* path)
{
    return GetPrivateProfileIntA(section, key, def, path ? path : "");
}

BOOL ProfileWriteString(const char* section, const char* key, const char* value, const char* path,
                        DWORD* error)
{
    // A null path would write win.ini; the function reports an empty one as access denied.
    if (!path || !*path) {
        SetLastError(ERROR_ACCESS_DENIED);
        if (error)
            *error = ERROR_ACCESS_DENIED;
        return FALSE;
    }
    if (!section) {
        SetLastError(ERROR_FILE_NOT_FOUND);
        if (error)
            *error = ERROR_FILE_NOT_FOUND;
        return FALSE;
    }
    if (!IsSafeProfileWrite(section, key, value)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        if (error)
            *error = ERROR_INVALID_PARAMETER;
        return FALSE;
    }
    BOOL written = WritePrivateProfileStringA(section, key, value, path);
    if (!written && error)
        *error = GetLastError();
    return written ? TRUE : FALSE;
}

} // namespace plat
