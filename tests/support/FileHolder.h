// A file held open as another program holds it (an editor, a backup, a running client), for the tests of
// stores that cannot be written meanwhile.
#pragma once

#include <string>

// Holds path from construction until Release or the end of the scope: others may read it (othersMayRead) or
// not, and nobody may write, replace or delete it. Under Wine through CreateFileW, on the portable backend
// through its HoldFile.
class CFileHolder
{
public:
    explicit CFileHolder(const std::string& path, bool othersMayRead = true);
    ~CFileHolder();
    CFileHolder(const CFileHolder&) = delete;
    CFileHolder& operator=(const CFileHolder&) = delete;
    // Whether the file is held (it existed and could be opened).
    bool Holds() const { return m_holds; }
    void Release();

private:
    std::string m_path;
    bool m_holds = false;
    void* m_handle = nullptr;
};
