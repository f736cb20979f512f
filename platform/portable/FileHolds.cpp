// Files held open as another program would hold them, known by device and inode as Windows knows an open file
// whatever path was used to open it.
#include "FileHolds.h"
#include "Files.h"
#include "PortableControl.h"
#include "PortablePaths.h"

#include <map>
#include <mutex>
#include <utility>

namespace {

typedef std::pair<unsigned long long, unsigned long long> FileKey;

std::mutex g_holdLock;
// Each held file and whether its holder shares reading.
std::map<FileKey, BOOL> g_holds;

FileKey KeyOf(const struct stat& info)
{
    return FileKey(static_cast<unsigned long long>(info.st_dev),
                   static_cast<unsigned long long>(info.st_ino));
}

BOOL StatFile(const std::string& path, struct stat& info)
{
    return stat(plat::portable::NativePath(path.c_str()).c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

} // namespace

namespace plat {
namespace portable {

BOOL HoldFile(const std::string& path, BOOL othersMayRead)
{
    struct stat info;
    if (!StatFile(path, info))
        return FALSE;
    std::lock_guard<std::mutex> lock(g_holdLock);
    g_holds[KeyOf(info)] = othersMayRead ? TRUE : FALSE;
    return TRUE;
}

void ReleaseFile(const std::string& path)
{
    struct stat info;
    if (!StatFile(path, info))
        return;
    std::lock_guard<std::mutex> lock(g_holdLock);
    g_holds.erase(KeyOf(info));
}

BOOL IsHeld(const struct stat& info, BOOL* othersMayRead)
{
    std::lock_guard<std::mutex> lock(g_holdLock);
    if (g_holds.empty())
        return FALSE;
    auto held = g_holds.find(KeyOf(info));
    if (held == g_holds.end())
        return FALSE;
    if (othersMayRead)
        *othersMayRead = held->second;
    return TRUE;
}

BOOL IsHeldPath(const char* native, BOOL* othersMayRead)
{
    struct stat info;
    return stat(native, &info) == 0 && S_ISREG(info.st_mode) && IsHeld(info, othersMayRead);
}

} // namespace portable

BOOL IsFileHeldOpen(const char* path)
{
    if (!path || !*path)
        return FALSE;
    return portable::IsHeldPath(portable::NativePath(path).c_str());
}

} // namespace plat
