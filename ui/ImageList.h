// CImageList: an owned image list of small icons.
#pragma once

#include <windows.h>

#include <commctrl.h>

class CImageList
{
public:
    CImageList() = default;
    ~CImageList() { Destroy(); }
    CImageList(const CImageList&) = delete;
    CImageList& operator=(const CImageList&) = delete;

    BOOL Create(int width, int height, UINT flags, int initial, int grow);
    // Adds a copy of the icon; returns its index, -1 on failure.
    int Add(HICON icon);
    int Count() const { return m_list ? ImageList_GetImageCount(m_list) : 0; }
    void Destroy();
    HIMAGELIST Handle() const { return m_list; }

private:
    HIMAGELIST m_list = nullptr;
};
