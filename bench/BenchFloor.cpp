// CBenchFloor: bare walks, reads and copies over POSIX, and a bare walk of the in-memory registry.
#include "BenchFloor.h"

#include "Registry.h"
#include "RegKey.h"

#include <cstdio>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

std::string Native(const std::string& path)
{
    std::string native = path;
    for (char& c : native) {
        if (c == '\\')
            c = '/';
    }
    return native;
}

size_t WalkNative(const std::string& folder)
{
    DIR* dir = opendir(folder.c_str());
    if (!dir)
        return 0;
    size_t seen = 0;
    while (struct dirent* entry = readdir(dir)) {
        ++seen;
        if (entry->d_type == DT_DIR && entry->d_name[0] != '.')
            seen += WalkNative(folder + "/" + entry->d_name);
    }
    closedir(dir);
    return seen;
}

bool ReadNative(const std::string& path, std::string& bytes)
{
    int fd = open(path.c_str(), O_RDONLY);
    if (fd < 0)
        return false;
    char chunk[65536];
    bytes.clear();
    ssize_t n = read(fd, chunk, sizeof(chunk));
    // A file bigger than one read gets room of its size first: a buffer grown as it fills copies what it
    // holds at every step, which halved the speed of reading a 5 MB file. A small file needs no size.
    struct stat info;
    if (n == static_cast<ssize_t>(sizeof(chunk)) && fstat(fd, &info) == 0)
        bytes.reserve(static_cast<size_t>(info.st_size) + 1);
    for (; n > 0; n = read(fd, chunk, sizeof(chunk)))
        bytes.append(chunk, static_cast<size_t>(n));
    close(fd);
    return n == 0;
}

size_t WalkKey(const std::string& path)
{
    plat::CRegKey key;
    if (key.Open(HKEY_CURRENT_USER, path.c_str(), KEY_READ) != ERROR_SUCCESS)
        return 0;
    size_t values = 0;
    char name[1024];
    unsigned char data[4096];
    for (DWORD i = 0;; ++i, ++values) {
        DWORD nameLength = sizeof(name);
        DWORD size = sizeof(data);
        DWORD type = 0;
        if (plat::RegValueAt(key.Get(), i, name, &nameLength, &type, data, &size) != ERROR_SUCCESS)
            break;
    }
    for (DWORD i = 0;; ++i) {
        DWORD nameLength = sizeof(name);
        if (plat::RegSubkeyName(key.Get(), i, name, &nameLength) != ERROR_SUCCESS)
            break;
        values += WalkKey(path + "\\" + std::string(name, nameLength));
    }
    return values;
}

} // namespace

size_t CBenchFloor::WalkTree(const std::string& path)
{
    return WalkNative(Native(path));
}

size_t CBenchFloor::ReadFiles(const std::vector<std::string>& paths)
{
    size_t total = 0;
    std::string bytes;
    for (const std::string& path : paths) {
        if (ReadNative(Native(path), bytes))
            total += bytes.size();
    }
    return total;
}

size_t CBenchFloor::WalkRegistry(const std::vector<std::string>& keys)
{
    size_t values = 0;
    for (const std::string& key : keys)
        values += WalkKey(key);
    return values;
}

bool CBenchFloor::CopyFile(const std::string& path, bool durable)
{
    const std::string native = Native(path);
    std::string bytes;
    if (!ReadNative(native, bytes))
        return false;
    const std::string temp = native + ".bench-new";
    const std::string copy = native + ".bench-copy";
    int fd = open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (fd < 0)
        return false;
    bool ok = write(fd, bytes.data(), bytes.size()) == static_cast<ssize_t>(bytes.size());
    if (durable)
        ok = fsync(fd) == 0 && ok;
    ok = close(fd) == 0 && ok;
    ok = ok && rename(temp.c_str(), copy.c_str()) == 0;
    unlink(temp.c_str());
    unlink(copy.c_str());
    return ok;
}
