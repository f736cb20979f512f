// The file calls of Files.h over the Windows file functions.
#include "Files.h"
#include "ReadBatch.h"
#include "WideText.h"

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

std::wstring FolderOf(const std::wstring& path)
{
    size_t slash = path.find_last_of(L"\\/");
    if (slash == std::wstring::npos)
        return L".";
    if (slash == 0 || (slash == 2 && path[1] == L':'))
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
    std::wstring wide;
    if (!ToWide(path, wide))
        return FALSE;
    return PathFileExistsW(wide.c_str()) ? TRUE : FALSE;
}

BOOL ListDirectory(const char* folder, std::vector<DirEntry>& entries)
{
    entries.clear();
    if (!folder)
        return FALSE;
    std::wstring pattern;
    if (!ToWide(folder, pattern))
        return FALSE;
    pattern += L"\\*.*";
    WIN32_FIND_DATAW data;
    CFindHandle find(FindFirstFileW(pattern.c_str(), &data));
    if (find.Get() == INVALID_HANDLE_VALUE)
        return FALSE;
    try {
        do {
            DirEntry entry;
            // A name that is not whole UTF-16 could not be opened again by its UTF-8 form: leave it out.
            if (!ToUtf8(data.cFileName, entry.name))
                continue;
            entry.isDirectory = (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) ? TRUE : FALSE;
            entry.isLink = (data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) ? TRUE : FALSE;
            entries.push_back(entry);
        } while (FindNextFileW(find.Get(), &data));
    } catch (...) {
        entries.clear();
        return FALSE;
    }
    return TRUE;
}

BOOL FolderIdentity(const char* folder, FolderId& id)
{
    if (!folder)
        return FALSE;
    std::wstring wide;
    if (!ToWide(folder, wide))
        return FALSE;
    // Backup semantics open a folder; without FILE_FLAG_OPEN_REPARSE_POINT a link is followed to its target.
    CFileHandle handle(CreateFileW(wide.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                   nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    if (!handle.IsValid())
        return FALSE;
    BY_HANDLE_FILE_INFORMATION info;
    if (!GetFileInformationByHandle(handle.Get(), &info) ||
        !(info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
        return FALSE;
    id.volume = info.dwVolumeSerialNumber;
    id.index = (static_cast<unsigned long long>(info.nFileIndexHigh) << 32) | info.nFileIndexLow;
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
    std::wstring widePattern;
    if (!ToWide(pattern.c_str(), widePattern))
        return FALSE;
    WIN32_FIND_DATAW data;
    CFindHandle find(FindFirstFileW(widePattern.c_str(), &data));
    if (find.Get() == INVALID_HANDLE_VALUE)
        return GetLastError() == ERROR_FILE_NOT_FOUND ? TRUE : FALSE;
    try {
        do {
            DirEntry entry;
            // The pattern also matches short names and longer ones; only the exact form is ours.
            if ((data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) || !ToUtf8(data.cFileName, entry.name) ||
                !IsOwnTempFileName(entry.name))
                continue;
            entry.writeTime = (static_cast<unsigned long long>(data.ftLastWriteTime.dwHighDateTime) << 32) |
                              data.ftLastWriteTime.dwLowDateTime;
            entries.push_back(entry);
        } while (FindNextFileW(find.Get(), &data));
    } catch (...) {
        entries.clear();
        return FALSE;
    }
    return TRUE;
}

BOOL ReadWholeFile(const char* path, std::string& bytes)
{
    std::wstring wide;
    if (!path || !*path || !ToWide(path, wide))
        return FALSE;
    CFileHandle file(CreateFileW(wide.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
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
    NoteFileWrite();
    std::wstring target;
    if (!path || !*path || !ToWide(path, target))
        return FALSE;
    // A folder is not ours to replace, nor a read-only file: Windows refuses to move over one, Wine does not.
    DWORD oldAttributes = GetFileAttributesW(target.c_str());
    if (oldAttributes != INVALID_FILE_ATTRIBUTES &&
        (oldAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY)))
        return FALSE;
    // The prefix is kTempFilePrefix: a stopped run's leftovers are recognised by it.
    wchar_t temp[MAX_PATH];
    if (!GetTempFileNameW(FolderOf(target).c_str(), L"nim", 0, temp))
        return FALSE;
    BOOL ok;
    {
        CFileHandle file(
            CreateFileW(temp, GENERIC_WRITE, 0, nullptr, TRUNCATE_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
        ok = file.IsValid() && WriteAll(file.Get(), bytes) && FlushFileBuffers(file.Get());
        if (!file.Close())
            ok = FALSE;
    }
    // The new file keeps the old one's hidden, system and archive marks.
    if (ok && oldAttributes != INVALID_FILE_ATTRIBUTES) {
        DWORD keep = oldAttributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE);
        if (keep)
            SetFileAttributesW(temp, keep);
    }
    if (ok)
        ok = MoveFileExW(temp, target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) ? TRUE
                                                                                                   : FALSE;
    if (!ok) {
        // The caller asks why: a file held by another program is told apart from any other failure, which
        // the clean-up must not hide (Wine answers a move over a held file with ERROR_ACCESS_DENIED).
        DWORD error = GetLastError();
        DeleteFileW(temp);
        if (IsFileHeldOpen(path))
            error = ERROR_SHARING_VIOLATION;
        SetLastError(error);
    }
    return ok;
}

BOOL IsFileHeldOpen(const char* path)
{
    std::wstring wide;
    if (!path || !*path || !ToWide(path, wide))
        return FALSE;
    // Shared with nobody: any other program's open handle refuses it, while a missing file or a folder fails
    // for other reasons.
    HANDLE file =
        CreateFileW(wide.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
        CloseHandle(file);
        return FALSE;
    }
    const DWORD error = GetLastError();
    return error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION ? TRUE : FALSE;
}

BOOL CreateTempFileIn(const char* folder, const char* prefix, std::string& path)
{
    NoteFileWrite();
    std::wstring wideFolder, widePrefix;
    if (!folder || !ToWide(folder, wideFolder) || !ToWide(prefix ? prefix : "", widePrefix))
        return FALSE;
    wchar_t name[MAX_PATH];
    if (!GetTempFileNameW(wideFolder.c_str(), widePrefix.c_str(), 0, name))
        return FALSE;
    std::string utf8;
    if (!ToUtf8(name, utf8)) {
        DeleteFileW(name);
        return FALSE;
    }
    path.swap(utf8);
    return TRUE;
}

BOOL RemoveFile(const char* path)
{
    NoteFileWrite();
    std::wstring wide;
    if (!path || !*path || !ToWide(path, wide))
        return FALSE;
    if (DeleteFileW(wide.c_str()))
        return TRUE;
    if (IsFileHeldOpen(path))
        SetLastError(ERROR_SHARING_VIOLATION);
    return FALSE;
}

BOOL RemoveUnusedFile(const char* path)
{
    NoteFileWrite();
    std::wstring wide;
    if (!path || !*path || !ToWide(path, wide))
        return FALSE;
    // Opened for nobody else to share: a file another process holds open is refused, not deleted under it.
    HANDLE file =
        CreateFileW(wide.c_str(), DELETE, 0, nullptr, OPEN_EXISTING, FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return FALSE;
    return CloseHandle(file) ? TRUE : FALSE;
}

} // namespace plat
