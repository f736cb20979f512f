// The file icons of Icons.h from the shell.
#include "Icons.h"
#include "WideText.h"

#include <shellapi.h>

namespace plat {

void LoadFileIcons(const char* path, HICON* smallIcon, HICON* largeIcon)
{
    std::wstring wide;
    if (!path || !*path || !ToWide(path, wide))
        return;
    SHFILEINFOW info;
    if (smallIcon) {
        ZeroMemory(&info, sizeof(info));
        if (SHGetFileInfoW(wide.c_str(), 0, &info, sizeof(info), SHGFI_ICON | SHGFI_SMALLICON) && info.hIcon)
            *smallIcon = info.hIcon;
    }
    if (largeIcon) {
        ZeroMemory(&info, sizeof(info));
        if (SHGetFileInfoW(wide.c_str(), 0, &info, sizeof(info), SHGFI_ICON | SHGFI_LARGEICON) && info.hIcon)
            *largeIcon = info.hIcon;
    }
}

void FreeIcon(HICON icon)
{
    if (icon)
        DestroyIcon(icon);
}

} // namespace plat
