// File attributes: the read-only mark that Windows keeps on a file.
#pragma once

#include "PlatTypes.h"

namespace plat {

// Sets or clears a file's read-only mark (SetFileAttributesA), keeping its other marks. While it is set the
// file's content cannot be replaced (ReplaceWholeFile fails). FALSE when the file cannot be reached.
BOOL SetFileReadOnly(const char* path, BOOL readOnly);

} // namespace plat
