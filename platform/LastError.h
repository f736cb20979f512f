// The thread's last-error value (GetLastError/SetLastError), for calls that report through it.
#pragma once

#include "PlatTypes.h"

namespace plat {

DWORD LastErrorCode();
void SetLastErrorCode(DWORD code);

} // namespace plat
