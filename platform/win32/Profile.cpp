// The profile calls of Profile.h over the Windows private-profile functions.
#include "Profile.h"
#include "ProfileGuard.h"

namespace plat {

DWORD ProfileGetString(const char* section, const char* key, const char* def, char* buffer, DWORD size,
                       const char* path)
{
    return GetPrivateProfileStringA(section, key, def, buffer, size, path ? path : "");
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
