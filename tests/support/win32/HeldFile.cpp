// CHeldFile under Windows: the handle a running client keeps on its lock file.
#include "support/HeldFile.h"

#include <windows.h>

CHeldFile::CHeldFile(const std::string& path) : m_path(path)
{
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    m_held = file != INVALID_HANDLE_VALUE;
    m_handle = m_held ? file : nullptr;
}

CHeldFile::~CHeldFile()
{
    if (m_held)
        CloseHandle(static_cast<HANDLE>(m_handle));
}
