// The checks both backends make before writing a profile line and before reading several keys at once.
#pragma once

#include "PlatTypes.h"

#include <cstddef>
#include <string>

namespace plat {

// FALSE when the names or the value would not read back as written: a line break in any of them (it would
// start a line of its own, even a section), an '=' in the key or a key that begins with '['.
BOOL IsSafeProfileWrite(const char* section, const char* key, const char* value);

// Empties the count values of a ProfileGetStrings call; FALSE when the section or any key is null.
BOOL StartProfileGetStrings(const char* section, const char* const* keys, size_t count, std::string* values);

} // namespace plat
