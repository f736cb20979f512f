// The name form of the program's own temporary files, the same on both backends.
#include "Files.h"

#include <cctype>
#include <cstring>

namespace plat {

BOOL IsOwnTempFileName(const std::string& name)
{
    const size_t prefix = strlen(kTempFilePrefix);
    const size_t suffix = 4; // ".tmp"
    if (name.size() < prefix + 1 + suffix || name.size() > prefix + 4 + suffix)
        return FALSE;
    for (size_t i = 0; i < prefix; ++i) {
        if (tolower(static_cast<unsigned char>(name[i])) != kTempFilePrefix[i])
            return FALSE;
    }
    for (size_t i = prefix; i < name.size() - suffix; ++i) {
        if (!isxdigit(static_cast<unsigned char>(name[i])))
            return FALSE;
    }
    const char* tail = name.c_str() + name.size() - suffix;
    return tail[0] == '.' && tolower(static_cast<unsigned char>(tail[1])) == 't' &&
           tolower(static_cast<unsigned char>(tail[2])) == 'm' &&
           tolower(static_cast<unsigned char>(tail[3])) == 'p';
}

} // namespace plat
