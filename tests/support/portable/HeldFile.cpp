// CHeldFile on the portable backend: its hold stands for another program's handle.
#include "support/HeldFile.h"

#include "PortableControl.h"

CHeldFile::CHeldFile(const std::string& path) : m_path(path)
{
    m_held = plat::portable::HoldFile(path) != FALSE;
}

CHeldFile::~CHeldFile()
{
    if (m_held)
        plat::portable::ReleaseFile(m_path);
}
