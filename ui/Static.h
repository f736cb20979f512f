// CStatic: static controls that show text or an icon.
#pragma once

#include "ui/Window.h"

class CStatic : public CWindow
{
public:
    // The static does not own the icon: whoever set it keeps it alive while it is shown.
    HICON SetIcon(HICON icon) const { return reinterpret_cast<HICON>(Send(STM_SETICON, (WPARAM)icon)); }
    HICON GetIcon() const { return reinterpret_cast<HICON>(Send(STM_GETICON)); }
};
