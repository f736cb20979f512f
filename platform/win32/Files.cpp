// The file calls of Files.h over the Windows file functions.
#include "Files.h"

#include <shlwapi.h>

namespace {

// A find handle that closes itself.
class CFindHandle
{
public:
    explicit CFindHandle(HANDLE handle) : m_handle(handle) {}
    ~CFindHandle()
    {
        if (m_handle != INVALID_HANDLE_VALUE)
            FindClose(m_handle);
    }
    CFindHandle(const CFindHandle&) = delete;
    CFindHandle& operator=(const CFindHandle&) = delete;
    HANDLE Get() const { return m_handle; }

private:
    HANDLE m_handle;
};

// A file handle that closes itself.
class CFileHandle
{
public:
    explicit CFileHandle(HANDLE handle) : m_handle(handle) {}
    ~CFileHandle() { Close(); }
    CFileHandle(const CFileHandle&) = delete;
    CFileHandle& operator=(const CFileHandle&) = delete;
    HANDLE Get() const { return m_handle; }
    BOOL IsValid() const { return m_handle != INVALID_HANDLE_VALUE; }
    BOOL Close()
    {
        BOOL closed = TRUE;
        if (m_handle != INVALID_HANDLE_VALUE)
            closed = CloseHandle(m_handle);
        m_handle = INVALID_HANDLE_VALUE;
        return closed;
    }

private:
    HANDLE m_handle;
};

std::string FolderOf(const std::string& path)
{
    size_t slash = path.find_last_of("\\/");
    if (slash == std::string::npos)
        return ".";
    if (slash == 0 || (slash == 2 && path[1] == ':'))
        return path.substr(0, slash + 1);
    return path.substr(0, slash);
}

BOOL WriteAll(HANDLE file, const std::string& bytes)
{
    size_t done = 0;
    while (done < bytes.size()) {
        DWORD chunk = static_cast<DWORD>(bytes.size() - done > 0x100000 ? 0x100000 : bytes.size() - done);
        DWORD written = 0;
        if (!WriteFile(file, bytes.data() + done, chunk, &written, nullptr) || written == 0)
            return FALSE;
        done += written;
    }
    return TRUE;
}

} // namespace

namespace plat {

unsigned long long FileTimeNow()
{
    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    return (static_cast<unsigned long long>(now.dwHighDateTime) << 32) | now.dwLowDateTime;
}

BOOL PathExists(const char* path)
{
    if (!path || !*path)
        return FALSE;
    return PathFileExistsA(path) ? TRUE : FALSE;
}

BOOL ListDirectory(const char* folder, std::vector<DirEntry>& entries)
{
    entries.clear();
    if (!folder)
        return FALSE;
    std::string pattern = std::string(folder) + "\\*.*";
    WIN32_FIND_DATAA data;
    CFindHandle find(FindFirstFileA(pattern.c_str(), &data));
    if (find.Get() == INVALID_HANDLE_VALUE)
        return FALSE;
    try {
        do {
            DirEntry entry;
            entry.name = data.cFileName;
            entry.isDirectory = (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) ? TRUE : FALSE;
            entry.isLink = (data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) ? TRUE : FALSE;
            entries.push_back(entry);
        } while (FindNextFileA(find.Get(), &data));
    } catch (...) {
        entries.clear();
        return FALSE;
    }
    return TRUE;
}

BOOL ListOwnTempFiles(const char* folder, std::vector<DirEntry>& entries)
{
    entries.clear();
    if (!folder)
        return FALSE;
    std::string pattern = folder;
    if (pattern.empty() || (pattern.back() != '\\' && pattern.back() != '/'))
        pattern += '\\';
    pattern += std::string(kTempFilePrefix) + "*.tmp";
    WIN32_FIND_DATAA data;
    CFindHandle find(FindFirstFileA(pattern.c_str(), &data));
    if (find.Get() == INVALID_HANDLE_VALUE)
        return GetLastError() == ERROR_FILE_NOT_FOUND ? TRUE : FALSE;
    try {
        do {
            // The pattern also matches short names and longer ones; only the exact form is ours.
            if ((data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) || !IsOwnTempFileName(data.cFileName))
                continue;
            DirEntry entry;
            entry.name = data.cFileName;
            entry.writeTime = (static_cast<unsigned long long>(data.ftLastWriteTime.dwHighDateTime) << 32) |
                              data.ftLastWriteTime.dwLowDateTime;
            entries.push_back(entry);
        } while (FindNextFileA(find.Get(), &data));
    } catch (...) {
        entries.clear();
        return FALSE;
    }
    return TRUE;
}

BOOL ReadWholeFile(const char* path, std::string& bytes)
{
    if (!path || !*path)
        return FALSE;
    CFileHandle file(CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                 OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.IsValid())
        return FALSE;
    LARGE_INTEGER length;
    if (!GetFileSizeEx(file.Get(), &length) || length.QuadPart < 0 || length.QuadPart > 0x7FFFFFFF)
        return FALSE;
    std::string content;
    try {
        content.resize(static_cast<size_t>(length.QuadPart));
    } catch (...) {
        return FALSE;
    }
    size_t done = 0;
    while (done < content.size()) {
        DWORD got = 0;
        if (!ReadFile(file.Get(), &content[done], static_cast<DWORD>(content.size() - done), &got, nullptr))
            return FALSE;
        if (got == 0)
            break;
        done += got;
    }
    content.resize(done);
    bytes.swap(content);
    return TRUE;
}

BOOL ReplaceWholeFile(const char* path, const std::string& bytes)
{
    if (!path || !*path)
        return FALSE;
    // A folder is not ours to replace, nor a read-only file: Windows refuses to move over one, Wine does not.
    DWORD oldAttributes = GetFileAttributesA(path);
    if (oldAttributes != INVALID_FILE_ATTRIBUTES &&
        (oldAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY)))
        return FALSE;
    char temp[MAX_PATH];
    if (!GetTempFileNameA(FolderOf(path).c_str(), kTempFilePrefix, 0, temp))
        return FALSE;
    BOOL ok;
    {
        CFileHandle file(
            CreateFileA(temp, GENERIC_WRITE, 0, nullptr, TRUNCATE_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
        ok = file.IsValid() && WriteAll(file.Get(), bytes) && FlushFileBuffers(file.Get());
        if (!file.Close())
            ok = FALSE;
    }
    // The new file keeps the old one's hidden, system and archive marks.
    if (ok && oldAttributes != INVALID_FILE_ATTRIBUTES) {
        DWORD keep = oldAttributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE);
        if (keep)
            SetFileAttributesA(temp, keep);
    }
    if (ok)
        ok = MoveFileExA(temp, path, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) ? TRUE : FALSE;
    if (!ok)
        DeleteFileA(temp);
    return ok;
}

BOOL CreateTempFileIn(const char* folder, const char* prefix, std::string& path)
{
    if (!folder)
        return FALSE;
    char name[MAX_PATH];
    if (!GetTempFileNameA(folder, prefix ? prefix : "", 0, name))
        return FALSE;
    path = name;
    return TRUE;
}

BOOL RemoveFile(const char* path)
{
    if (!path || !*path)
        return FALSE;
    return DeleteFileA(path) ? TRUE : FALSE;
}

BOOL RemoveUnusedFile(const char* path)
{
    if (!path || !*path)
        return FALSE;
    // Opened for nobody else to share: a file another process holds open is refused, not deleted under it.
    HANDLE file = CreateFileA(path, DELETE, 0, nullptr, OPEN_EXISTING, FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return FALSE;
    return CloseHandle(file) ? TRUE : FALSE;
}

} // namespace plat
