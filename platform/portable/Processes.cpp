// The process list of Processes.h for the portable backend: the names a test scripted.
#include "Processes.h"
#include "PortableControl.h"

#include <mutex>
#include <strings.h>

namespace {

std::mutex g_processLock;
std::vector<std::string> g_processNames;

} // namespace

namespace plat {

BOOL ListProcessNames(std::vector<std::string>& names)
{
    std::lock_guard<std::mutex> lock(g_processLock);
    try {
        names = g_processNames;
    } catch (...) {
        return FALSE;
    }
    return TRUE;
}

BOOL IsProcessRunning(const std::string& exeName)
{
    std::lock_guard<std::mutex> lock(g_processLock);
    for (const std::string& name : g_processNames) {
        if (strcasecmp(name.c_str(), exeName.c_str()) == 0)
            return TRUE;
    }
    return FALSE;
}

namespace portable {

void SetProcessNames(const std::vector<std::string>& names)
{
    std::lock_guard<std::mutex> lock(g_processLock);
    g_processNames = names;
}

} // namespace portable
} // namespace plat
