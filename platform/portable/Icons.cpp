// The file icons of Icons.h for the portable backend: a token icon for every file that exists.
#include "Icons.h"
#include "Files.h"
#include "PortableControl.h"

#include <atomic>

struct PlatIconObject
{
    int token = 0;
};

namespace {

std::atomic<int> g_iconRequests(0);

} // namespace

namespace plat {

int portable::IconRequests()
{
    return g_iconRequests;
}

void LoadFileIcons(const char* path, HICON* smallIcon, HICON* largeIcon)
{
    ++g_iconRequests;
    // The shell gives icons for existing files only; so do we, one object per request as it does.
    if (!PathExists(path))
        return;
    if (smallIcon)
        *smallIcon = new PlatIconObject;
    if (largeIcon)
        *largeIcon = new PlatIconObject;
}

void FreeIcon(HICON icon)
{
    delete icon;
}

} // namespace plat
