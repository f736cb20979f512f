// Setting this process's environment variables through the Windows API.
#include "Environment.h"

namespace plat {

BOOL SetEnvironmentValue(const char* name, const char* value)
{
    return SetEnvironmentVariableA(name, value) ? TRUE : FALSE;
}

} // namespace plat
