// A file held open as another program holds it (a running client's lock file), for as long as the object
// lives: under Windows and Wine with CreateFile and no write sharing, on the portable backend with its hold.
#pragma once

#include <string>

class CHeldFile
{
public:
    explicit CHeldFile(const std::string& path);
    ~CHeldFile();
    CHeldFile(const CHeldFile&) = delete;
    CHeldFile& operator=(const CHeldFile&) = delete;
    // FALSE when the file could not be opened (it must exist).
    bool IsHeld() const { return m_held; }

private:
    std::string m_path;
    void* m_handle = nullptr;
    bool m_held = false;
};
