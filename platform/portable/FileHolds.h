// The files that tests hold open as another program would (PortableControl.h's HoldFile), as the portable
// file calls see them.
#pragma once

#include "PlatTypes.h"

#include <sys/stat.h>

namespace plat {
namespace portable {

// TRUE when the file of info (device and inode, so any path to it counts) is held; *othersMayRead then tells
// whether the holder lets others read it.
BOOL IsHeld(const struct stat& info, BOOL* othersMayRead = nullptr);
// IsHeld of the file a native path names now; FALSE for a missing one.
BOOL IsHeldPath(const char* native, BOOL* othersMayRead = nullptr);

} // namespace portable
} // namespace plat
