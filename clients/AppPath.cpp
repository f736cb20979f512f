// FindAppPath: the program file an App Paths entry names.
#include "clients/AppPath.h"

#include "Environment.h"
#include "Files.h"
#include "RegKey.h"

namespace {

const DWORD kExpandedLimit = 4096;

} // namespace

BOOL FindAppPath(const char* exeName, std::string& path)
{
    const std::string keyPath =
        std::string("Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\") + exeName;
    for (REGSAM view : {static_cast<REGSAM>(KEY_WOW64_64KEY), static_cast<REGSAM>(0)}) {
        plat::CRegKey key;
        if (key.Open(HKEY_LOCAL_MACHINE, keyPath.c_str(), KEY_READ | view) != ERROR_SUCCESS)
            continue;
        std::string value;
        DWORD type = REG_NONE;
        if (key.QueryString(nullptr, value, MAX_PATH, &type, TRUE) != ERROR_SUCCESS)
            continue;
        if (type != REG_SZ && type != REG_EXPAND_SZ)
            continue;
        if (type == REG_EXPAND_SZ) {
            std::string expanded;
            if (!plat::ExpandEnvironment(value.c_str(), expanded, kExpandedLimit))
                continue;
            value = expanded;
        }
        if (plat::PathExists(value.c_str())) {
            path = value;
            return TRUE;
        }
    }
    return FALSE;
}
