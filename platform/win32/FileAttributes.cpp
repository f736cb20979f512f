// SetFileReadOnly of FileAttributes.h over GetFileAttributesA and SetFileAttributesA.
#include "FileAttributes.h"

namespace plat {

BOOL SetFileReadOnly(const char* path, BOOL readOnly)
{
    if (!path || !*path)
        return FALSE;
    DWORD attributes = GetFileAttributesA(path);
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return FALSE;
    attributes = readOnly ? (attributes | FILE_ATTRIBUTE_READONLY) : (attributes & ~FILE_ATTRIBUTE_READONLY);
    // A file with no other mark left is "normal"; 0 would be refused.
    if (attributes == 0)
        attributes = FILE_ATTRIBUTE_NORMAL;
    return SetFileAttributesA(path, attributes) ? TRUE : FALSE;
}

} // namespace plat
