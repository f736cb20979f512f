// The file icons of Icons.h from the shell.
#include "Icons.h"

#include <shellapi.h>

namespace plat {

void LoadFileIcons(const char* path, HICON* smallIcon, HICON* largeIcon)
{
    if (!path || !*path)
        return;
    SHFILEINFOA info;
    if (smallIcon) {
        ZeroMemory(&info, sizeof(info));
        if (SHGetFileInfoA(path, 0, &info, sizeof(info), SHGFI_ICON | SHGFI_SMALLICON) && info.hIcon)
            *smallIcon = info.hIcon;
    }
    if (largeIcon) {
        ZeroMemory(&info, sizeof(info));
        if (SHGetFileInfoA(path, 0, &info, sizeof(info), SHGFI_ICON | SHGFI_LARGEICON) && info.hIcon)
            *largeIcon = info.hIcon;
    }
}

void FreeIcon(HICON icon)
{
    if (icon)
        DestroyIcon(icon);
}

} // namespace plat
