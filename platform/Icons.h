// The shell's icons of a file, for the account lists.
#pragma once

#include "PlatTypes.h"

namespace plat {

// SHGetFileInfoA with the icon flag, small then large size; each output is set only when its request succeeded.
void LoadFileIcons(const char* path, HICON* smallIcon, HICON* largeIcon);
void FreeIcon(HICON icon);

} // namespace plat
