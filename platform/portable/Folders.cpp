// Folder creation and removal over POSIX, with Windows-style paths mapped to '/'.
#include "Files.h"
#include "ReadBatch.h"

#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace plat {

namespace {

std::string NativeFolderPath(const char* path)
{
    std::string native(path);
    for (char& c : native) {
        if (c == '\\')
            c = '/';
    }
    while (native.size() > 1 && native.back() == '/')
        native.pop_back();
    return native;
}

} // namespace

BOOL CreateFolder(const char* path)
{
    if (!path || !*path)
        return FALSE;
    std::string folder = NativeFolderPath(path);
    if (folder.empty())
        return FALSE;
    struct stat info;
    if (stat(folder.c_str(), &info) == 0)
        return S_ISDIR(info.st_mode);
    size_t parent = folder.rfind('/');
    if (parent != std::string::npos && parent > 0)
        CreateFolder(folder.substr(0, parent).c_str());
    NoteFileWrite();
    return mkdir(folder.c_str(), 0777) == 0 || (stat(folder.c_str(), &info) == 0 && S_ISDIR(info.st_mode));
}

BOOL RemoveFolderTree(const char* path)
{
    if (!path || !*path)
        return FALSE;
    std::string folder = NativeFolderPath(path);
    // A slip that names the root must not empty the whole file system.
    if (folder == "/")
        return FALSE;
    struct stat info;
    if (lstat(folder.c_str(), &info) != 0)
        return TRUE;
    NoteFileWrite();
    if (!S_ISDIR(info.st_mode))
        return unlink(folder.c_str()) == 0;
    std::vector<DirEntry> entries;
    ListDirectory(folder.c_str(), entries);
    for (const DirEntry& entry : entries) {
        if (entry.name == "." || entry.name == "..")
            continue;
        RemoveFolderTree((folder + "/" + entry.name).c_str());
    }
    return rmdir(folder.c_str()) == 0;
}

} // namespace plat
