// The checks both backends make before writing a profile line and before reading several keys at once.
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

BOOL StartProfileGetStrings(const char* section, const char* const* keys, size_t count, std::string* values)
{
    for (size_t i = 0; i < count; ++i)
        values[i].clear();
    if (!section || (count && !keys))
        return FALSE;
    for (size_t i = 0; i < count; ++i) {
        if (!keys[i])
            return FALSE;
    }
    return TRUE;
}

} // namespace plat
