// SetFileReadOnly of FileAttributes.h for the portable backend: the read-only mark is a file without write bits.
#include "FileAttributes.h"
#include "PortablePaths.h"

#include <sys/stat.h>

namespace plat {

BOOL SetFileReadOnly(const char* path, BOOL readOnly)
{
    if (!path || !*path)
        return FALSE;
    std::string native = portable::NativePath(path);
    struct stat info;
    if (stat(native.c_str(), &info) != 0)
        return FALSE;
    mode_t mode = info.st_mode & 07777;
    mode = readOnly ? (mode & ~static_cast<mode_t>(0222)) : (mode | S_IWUSR);
    return chmod(native.c_str(), mode) == 0 ? TRUE : FALSE;
}

} // namespace plat
