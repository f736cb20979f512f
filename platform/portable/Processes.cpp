// The process list of Processes.h for the portable backend: this program itself and the names a test
// scripted.
#include "Processes.h"
#include "PortableControl.h"

#include <mutex>
#include <strings.h>
#include <unistd.h>

namespace {

std::mutex g_processLock;
std::vector<std::string> g_processNames;

// A real snapshot always holds the program that takes it.
std::string OwnProgramName()
{
    char path[4096];
    ssize_t length = readlink("/proc/self/exe", path, sizeof(path) - 1);
    if (length <= 0)
        return std::string();
    std::string name(path, static_cast<size_t>(length));
    return name.substr(name.rfind('/') + 1);
}

std::vector<std::string> SnapshotLocked()
{
    std::vector<std::string> names = g_processNames;
    std::string self = OwnProgramName();
    if (!self.empty())
        names.insert(names.begin(), self);
    return names;
}

} // namespace

namespace plat {

BOOL ListProcessNames(std::vector<std::string>& names)
{
    std::lock_guard<std::mutex> lock(g_processLock);
    try {
        names = SnapshotLocked();
    } catch (...) {
        return FALSE;
    }
    return TRUE;
}

BOOL IsProcessRunning(const std::string& exeName)
{
    std::lock_guard<std::mutex> lock(g_processLock);
    for (const std::string& name : SnapshotLocked()) {
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
