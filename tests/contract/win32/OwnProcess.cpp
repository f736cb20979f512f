// OwnProcessName for the win32 backend: the file name of this program's module.
#include "contract/ContractBackend.h"

#include <windows.h>

namespace contract {

std::string OwnProcessName()
{
    char path[MAX_PATH] = {};
    DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string full(path, length);
    size_t slash = full.find_last_of("\\/");
    return slash == std::string::npos ? full : full.substr(slash + 1);
}

} // namespace contract
