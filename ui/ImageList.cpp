// CImageList: creation, icons and destruction of an image list.
#include "ui/ImageList.h"

BOOL CImageList::Create(int width, int height, UINT flags, int initial, int grow)
{
    Destroy();
    m_list = ImageList_Create(width, height, flags, initial, grow);
    return m_list != nullptr;
}

int CImageList::Add(HICON icon)
{
    if (!m_list || !icon)
        return -1;
    return ImageList_ReplaceIcon(m_list, -1, icon);
}

void CImageList::Destroy()
{
    if (m_list)
        ImageList_Destroy(m_list);
    m_list = nullptr;
}
