// The check both backends make before writing a profile line.
#pragma once

#include "PlatTypes.h"

namespace plat {

// FALSE when the names or the value would not read back as written: a line break in any of them (it would
// start a line of its own, even a section), an '=' in the key or a key that begins with '['.
BOOL IsSafeProfileWrite(const char* section, const char* key, const char* value);

} // namespace plat
