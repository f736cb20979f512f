// SetFileReadOnly of FileAttributes.h over GetFileAttributesW and SetFileAttributesW.
#include "FileAttributes.h"
#include "WideText.h"

namespace plat {

BOOL SetFileReadOnly(const char* path, BOOL readOnly)
{
    std::wstring wide;
    if (!path || !*path || !ToWide(path, wide))
        return FALSE;
    DWORD attributes = GetFileAttributesW(wide.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return FALSE;
    attributes = readOnly ? (attributes | FILE_ATTRIBUTE_READONLY) : (attributes & ~FILE_ATTRIBUTE_READONLY);
    // A file with no other mark left is "normal"; 0 would be refused.
    if (attributes == 0)
        attributes = FILE_ATTRIBUTE_NORMAL;
    return SetFileAttributesW(wide.c_str(), attributes) ? TRUE : FALSE;
}

} // namespace plat
