// The process list of Processes.h from a Tool Help snapshot.
#include "Processes.h"
#include "WideText.h"

#include <tlhelp32.h>

namespace plat {

BOOL ListProcessNames(std::vector<std::string>& names)
{
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE)
        return FALSE;
    std::vector<std::string> found;
    PROCESSENTRY32W entry;
    entry.dwSize = sizeof(entry);
    BOOL ok = TRUE;
    try {
        for (BOOL more = Process32FirstW(snapshot, &entry); more; more = Process32NextW(snapshot, &entry)) {
            // Some systems give a full path here: keep only the file name.
            std::string name;
            if (!ToUtf8(entry.szExeFile, name))
                continue;
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
    std::wstring wanted;
    if (!ToWide(exeName.c_str(), wanted))
        return FALSE;
    for (const std::string& name : names) {
        std::wstring wide;
        if (ToWide(name.c_str(), wide) && lstrcmpiW(wide.c_str(), wanted.c_str()) == 0)
            return TRUE;
    }
    return FALSE;
}

} // namespace plat
