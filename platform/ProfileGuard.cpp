// The check both backends make before writing a profile line.
#include "ProfileGuard.h"

#include <cstring>

namespace plat {

namespace {

BOOL HasLineBreak(const char* text)
{
    return text && strpbrk(text, "\r\n") != nullptr;
}

} // namespace

BOOL IsSafeProfileWrite(const char* section, const char* key, const char* value)
{
    if (HasLineBreak(section) || HasLineBreak(key) || HasLineBreak(value))
        return FALSE;
    if (key) {
        const char* first = key;
        while (*first == ' ' || *first == '\t')
            ++first;
        if (strchr(key, '=') || *first == '[')
            return FALSE;
    }
    return TRUE;
}

} // namespace plat
