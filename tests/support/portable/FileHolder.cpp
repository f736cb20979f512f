// CFileHolder over the portable backend's hold.
#include "support/FileHolder.h"

#include "PortableControl.h"

CFileHolder::CFileHolder(const std::string& path, bool othersMayRead) : m_path(path)
{
    m_holds = plat::portable::HoldFile(path, othersMayRead ? TRUE : FALSE) != FALSE;
}

CFileHolder::~CFileHolder()
{
    Release();
}

void CFileHolder::Release()
{
    if (m_holds)
        plat::portable::ReleaseFile(m_path);
    m_holds = false;
}
