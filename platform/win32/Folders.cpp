// Folder creation and removal over the Windows file API.
#include "Files.h"
#include "ReadBatch.h"
#include "WideText.h"

#include <string>
#include <vector>

namespace plat {

BOOL CreateFolder(const char* path)
{
    NoteFileWrite();
    if (!path || !*path)
        return FALSE;
    std::string folder(path);
    while (!folder.empty() && (folder.back() == '\\' || folder.back() == '/'))
        folder.pop_back();
    if (folder.empty())
        return FALSE;
    std::wstring wide;
    if (!ToWide(folder.c_str(), wide))
        return FALSE;
    DWORD attributes = GetFileAttributesW(wide.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES)
        return (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    size_t parent = folder.find_last_of("\\/");
    // A drive root ("C:") has no parent to make.
    if (parent != std::string::npos && parent > 0 && folder[parent - 1] != ':')
        CreateFolder(folder.substr(0, parent).c_str());
    return CreateDirectoryW(wide.c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS;
}

BOOL RemoveFolderTree(const char* path)
{
    NoteFileWrite();
    if (!path || !*path)
        return FALSE;
    std::string folder(path);
    while (folder.size() > 1 && (folder.back() == '\\' || folder.back() == '/'))
        folder.pop_back();
    // A slip that names a drive root must not empty the drive.
    if (folder.empty() || folder == "\\" || folder == "/" || (folder.size() == 2 && folder[1] == ':'))
        return FALSE;
    std::wstring wide;
    if (!ToWide(folder.c_str(), wide))
        return FALSE;
    DWORD attributes = GetFileAttributesW(wide.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return TRUE;
    if (!(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        SetFileAttributesW(wide.c_str(), FILE_ATTRIBUTE_NORMAL);
        return DeleteFileW(wide.c_str());
    }
    // A junction or folder link goes by itself: what it points at belongs to someone else.
    if (attributes & FILE_ATTRIBUTE_REPARSE_POINT)
        return RemoveDirectoryW(wide.c_str()) ? TRUE : FALSE;
    std::vector<DirEntry> entries;
    ListDirectory(folder.c_str(), entries);
    for (const DirEntry& entry : entries) {
        if (entry.name == "." || entry.name == "..")
            continue;
        RemoveFolderTree((folder + "\\" + entry.name).c_str());
    }
    SetFileAttributesW(wide.c_str(), FILE_ATTRIBUTE_NORMAL);
    return RemoveDirectoryW(wide.c_str()) || GetFileAttributesW(wide.c_str()) == INVALID_FILE_ATTRIBUTES;
}

} // namespace plat
