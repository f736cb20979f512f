// Setting this process's environment variables through POSIX.
#include "Environment.h"

#include <cstdlib>

namespace plat {

BOOL SetEnvironmentValue(const char* name, const char* value)
{
    return (value ? setenv(name, value, 1) : unsetenv(name)) == 0;
}

} // namespace plat
