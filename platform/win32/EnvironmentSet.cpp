// Setting this process's environment variables through the Windows API.
#include "Environment.h"
#include "WideText.h"

namespace plat {

BOOL SetEnvironmentValue(const char* name, const char* value)
{
    CWideArg wideName(name), wideValue(value);
    if (!name || !wideName.IsOk() || !wideValue.IsOk())
        return FALSE;
    return SetEnvironmentVariableW(wideName.Get(), wideValue.Get()) ? TRUE : FALSE;
}

} // namespace plat
