// Setting many values of a profile (INI) file in one edit of its bytes, as the profile writes would set them.
#pragma once

#include "PlatTypes.h"

#include <cstddef>
#include <string>

namespace plat {

struct ProfileValue
{
    std::string section;
    std::string key;
    std::string value;
};

/*
 * ProfileSetValues: the bytes of a profile file with each value set in turn as ProfileWriteString sets it on
 *   Windows and the portable backend: a key's line gets the new value in place (its name as the file spells
 *   it), a missing key goes at the end of its section, a missing section at the end of the file, and every
 *   other byte stays. Values go in the file's own encoding (UTF-8 after a UTF-8 byte-order mark, otherwise
 *   the ANSI code page). FALSE, with bytes untouched, for a value ProfileWriteString would refuse (a line
 *   break, an '=' in the key, a text the code page cannot hold), for one that would not read back as given
 *   (empty, in quotes, with blanks around it), and for a file these edits do not read as the profile
 *   functions do (IsPlainProfileText).
 * IsPlainProfileText: TRUE when the bytes are a profile file that CProfileDocument reads as the profile
 *   functions do: not UTF-16 (Windows reads a file that starts with its byte-order mark as such), and no NUL.
 */
BOOL ProfileSetValues(std::string& bytes, const ProfileValue* values, size_t count);
BOOL IsPlainProfileText(const std::string& bytes);

} // namespace plat
