// CFileHolder over a handle of our own, opened as another program would open the file.
#include "support/FileHolder.h"

#include <windows.h>

CFileHolder::CFileHolder(const std::string& path, bool othersMayRead) : m_path(path)
{
    std::wstring wide(path.size() + 1, L'\0');
    const int n = MultiByteToWideChar(CP_UTF8, 0, path.c_str(), -1, &wide[0], static_cast<int>(wide.size()));
    wide.resize(n > 0 ? static_cast<size_t>(n - 1) : 0);
    HANDLE file = CreateFileW(wide.c_str(), GENERIC_READ | GENERIC_WRITE, othersMayRead ? FILE_SHARE_READ : 0,
                              nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
        m_handle = file;
        m_holds = true;
    }
}

CFileHolder::~CFileHolder()
{
    Release();
}

void CFileHolder::Release()
{
    if (m_holds)
        CloseHandle(static_cast<HANDLE>(m_handle));
    m_handle = nullptr;
    m_holds = false;
}
