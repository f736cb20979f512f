// The process list of Processes.h from a Tool Help snapshot.
#include "Processes.h"

#include <tlhelp32.h>

namespace plat {

BOOL ListProcessNames(std::vector<std::string>& names)
{
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE)
        return FALSE;
    std::vector<std::string> found;
    PROCESSENTRY32 entry;
    entry.dwSize = sizeof(entry);
    BOOL ok = TRUE;
    try {
        for (BOOL more = Process32First(snapshot, &entry); more; more = Process32Next(snapshot, &entry)) {
            // Some systems give a full path here: keep only the file name.
            std::string name = entry.szExeFile;
            size_t slash = name.find_last_of("\\/");
            found.push_back(slash == std::string::npos ? name : name.substr(slash + 1));
        }
    } catch (...) {
        ok = FALSE;
    }
    CloseHandle(snapshot);
    if (ok)
        names.swap(found);
    return ok;
}

BOOL IsProcessRunning(const std::string& exeName)
{
    std::vector<std::string> names;
    if (!ListProcessNames(names))
        return FALSE;
    for (const std::string& name : names) {
        if (lstrcmpiA(name.c_str(), exeName.c_str()) == 0)
            return TRUE;
    }
    return FALSE;
}

} // namespace plat
