// The file calls of Files.h for the portable backend, over POSIX files and directories.
#include "Files.h"
#include "FaultInjection.h"
#include "FileHolds.h"
#include "LastError.h"
#include "PortablePaths.h"
#include "ReadBatch.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <dirent.h>
#include <fcntl.h>
#include <mutex>
#include <sys/stat.h>
#include <unistd.h>
#include <unordered_map>

namespace {

using plat::portable::FaultHere;
using plat::portable::NativePath;

// What the read batch that looked last found at each path, while no file was written.
struct ExistenceMemo
{
    unsigned long batch = 0;
    unsigned long writes = 0;
    std::unordered_map<std::string, BOOL> paths;
};
std::mutex g_existenceLock;
ExistenceMemo g_existence;

// A call the fault layer makes fail reports what a failing disk would.
BOOL Faulted(plat::portable::FaultCall call, const std::string& target)
{
    if (!FaultHere(call, target.c_str()))
        return FALSE;
    errno = EIO;
    return TRUE;
}

// NTFS lists names in the order of their upper-case letters; we give that order too, so runs repeat.
BOOL NameBefore(const plat::DirEntry& a, const plat::DirEntry& b)
{
    size_t n = std::min(a.name.size(), b.name.size());
    for (size_t i = 0; i < n; ++i) {
        unsigned char ca = static_cast<unsigned char>(toupper(static_cast<unsigned char>(a.name[i])));
        unsigned char cb = static_cast<unsigned char>(toupper(static_cast<unsigned char>(b.name[i])));
        if (ca != cb)
            return ca < cb;
    }
    return a.name.size() < b.name.size();
}

BOOL WriteAll(int fd, const std::string& bytes)
{
    size_t done = 0;
    while (done < bytes.size()) {
        ssize_t n = write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return FALSE;
        done += static_cast<size_t>(n);
    }
    return TRUE;
}

std::string FolderOf(const std::string& nativePath)
{
    size_t slash = nativePath.find_last_of('/');
    if (slash == std::string::npos)
        return ".";
    if (slash == 0)
        return "/";
    return nativePath.substr(0, slash);
}

// 1601 to 1970 in FILETIME ticks.
const unsigned long long kUnixEpochTicks = 116444736000000000ULL;

unsigned long long TicksOf(const struct timespec& time)
{
    return kUnixEpochTicks + static_cast<unsigned long long>(time.tv_sec) * 10000000ULL +
           static_cast<unsigned long long>(time.tv_nsec) / 100;
}

// A new empty file named as GetTempFileNameA names one (up to three letters of prefix, one to four hex
// digits, ".tmp") in base, a folder ending with its separator; its descriptor, or -1. counted: each attempt
// is a step of the fault layer (ReplaceWholeFile counts its creation once, on the target).
int CreateUniqueFile(const std::string& base, const char* prefix, std::string& path, BOOL counted)
{
    std::string head = std::string(prefix ? prefix : "").substr(0, 3);
    unsigned start = static_cast<unsigned>(getpid() ^ time(nullptr)) & 0xFFFFu;
    for (unsigned i = 0; i < 0x10000u; ++i) {
        unsigned number = (start + i) & 0xFFFFu;
        if (number == 0)
            continue;
        char name[16];
        snprintf(name, sizeof(name), "%X.tmp", number);
        std::string candidate = base + head + name;
        int fd = counted && Faulted(plat::portable::FAULT_CREATE_TEMP, candidate)
                     ? -1
                     : open(NativePath(candidate.c_str()).c_str(), O_WRONLY | O_CREAT | O_EXCL, 0666);
        if (fd >= 0) {
            path = candidate;
            return fd;
        }
        if (errno != EEXIST)
            return -1;
    }
    return -1;
}

} // namespace

namespace plat {

unsigned long long FileTimeNow()
{
    struct timespec now;
    clock_gettime(CLOCK_REALTIME, &now);
    return TicksOf(now);
}

BOOL PathExists(const char* path)
{
    if (!path || !*path)
        return FALSE;
    const std::string native = NativePath(path);
    // Within a read batch a path is looked up once: a load asks for a program file when it finds the client
    // and again for its icons. Any write by the program ends what the batch knows.
    const unsigned long batch = ReadBatchId();
    const unsigned long writes = FileWriteCount();
    if (batch != 0) {
        std::lock_guard<std::mutex> lock(g_existenceLock);
        if (g_existence.batch == batch && g_existence.writes == writes) {
            auto known = g_existence.paths.find(native);
            if (known != g_existence.paths.end())
                return known->second;
        }
    }
    struct stat info;
    const BOOL exists = stat(native.c_str(), &info) == 0 ? TRUE : FALSE;
    if (batch != 0) {
        std::lock_guard<std::mutex> lock(g_existenceLock);
        if (g_existence.batch != batch || g_existence.writes != writes) {
            g_existence.paths.clear();
            g_existence.batch = batch;
            g_existence.writes = writes;
        }
        g_existence.paths[native] = exists;
    }
    return exists;
}

// A folder opened for a listing, closed with it; Get() is null when it cannot be (or the fault layer says
// so).
class CListing
{
public:
    explicit CListing(const char* folder)
    {
        if (!folder)
            return;
        const std::string native = NativePath(folder);
        if (!Faulted(portable::FAULT_OPEN, native))
            m_dir = opendir(native.empty() ? "." : native.c_str());
    }
    ~CListing()
    {
        if (m_dir)
            closedir(m_dir);
    }
    CListing(const CListing&) = delete;
    CListing& operator=(const CListing&) = delete;
    DIR* Get() const { return m_dir; }

private:
    DIR* m_dir = nullptr;
};

BOOL ListDirectory(const char* folder, std::vector<DirEntry>& entries)
{
    entries.clear();
    CListing listing(folder);
    DIR* dir = listing.Get();
    if (!dir)
        return FALSE;
    try {
        std::vector<DirEntry> found;
        DirEntry self;
        self.name = ".";
        self.isDirectory = TRUE;
        found.push_back(self);
        self.name = "..";
        found.push_back(self);
        while (struct dirent* item = readdir(dir)) {
            if (strcmp(item->d_name, ".") == 0 || strcmp(item->d_name, "..") == 0)
                continue;
            DirEntry entry;
            entry.name = item->d_name;
            // The listing's own type costs nothing; only a link (followed, as Windows reports a linked folder
            // as a folder) or a file system that gives no type needs a look at the entry itself.
            struct stat info;
            if (item->d_type == DT_UNKNOWN)
                entry.isLink = (fstatat(dirfd(dir), item->d_name, &info, AT_SYMLINK_NOFOLLOW) == 0 &&
                                S_ISLNK(info.st_mode))
                                   ? TRUE
                                   : FALSE;
            else
                entry.isLink = item->d_type == DT_LNK ? TRUE : FALSE;
            if (item->d_type == DT_LNK || item->d_type == DT_UNKNOWN)
                entry.isDirectory =
                    (fstatat(dirfd(dir), item->d_name, &info, 0) == 0 && S_ISDIR(info.st_mode)) ? TRUE
                                                                                                : FALSE;
            else
                entry.isDirectory = item->d_type == DT_DIR ? TRUE : FALSE;
            found.push_back(entry);
        }
        std::sort(found.begin() + 2, found.end(), NameBefore);
        entries.swap(found);
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
    const std::string native = NativePath(folder);
    struct stat info;
    if (stat(native.empty() ? "." : native.c_str(), &info) != 0 || !S_ISDIR(info.st_mode))
        return FALSE;
    id.volume = static_cast<unsigned long long>(info.st_dev);
    id.index = static_cast<unsigned long long>(info.st_ino);
    return TRUE;
}

BOOL ListOwnTempFiles(const char* folder, std::vector<DirEntry>& entries)
{
    entries.clear();
    CListing listing(folder);
    DIR* dir = listing.Get();
    if (!dir)
        return FALSE;
    try {
        std::vector<DirEntry> found;
        while (struct dirent* item = readdir(dir)) {
            struct stat info;
            if (!IsOwnTempFileName(item->d_name) || fstatat(dirfd(dir), item->d_name, &info, 0) != 0 ||
                !S_ISREG(info.st_mode))
                continue;
            DirEntry entry;
            entry.name = item->d_name;
            entry.writeTime = TicksOf(info.st_mtim);
            found.push_back(entry);
        }
        std::sort(found.begin(), found.end(), NameBefore);
        entries.swap(found);
    } catch (...) {
        entries.clear();
        return FALSE;
    }
    return TRUE;
}

BOOL portable::ReadNativeFile(const std::string& native, std::string& bytes, struct stat& info)
{
    // One path lookup: a store is often read file after file, and the lookups cost more than the reads.
    // O_NONBLOCK keeps a pipe found at the path from blocking the open; regular files ignore it.
    int fd = open(native.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return FALSE;
    if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode) || Faulted(portable::FAULT_OPEN, native)) {
        close(fd);
        return FALSE;
    }
    // A holder that shares nothing keeps readers out too, as Windows does.
    BOOL othersMayRead = TRUE;
    if (portable::IsHeld(info, &othersMayRead) && !othersMayRead) {
        close(fd);
        SetLastErrorCode(ERROR_SHARING_VIOLATION);
        return FALSE;
    }
    std::string content;
    BOOL ok = !Faulted(portable::FAULT_READ, native);
    try {
        // One allocation of the file's size, touched once: a big store's pages cost more to fault in than to
        // copy from a small buffer. A file that grew meanwhile is still read to its end.
        content.reserve(static_cast<size_t>(info.st_size) + 1);
        char chunk[65536];
        while (ok) {
            ssize_t n = read(fd, chunk, sizeof(chunk));
            if (n < 0 && errno == EINTR)
                continue;
            if (n < 0)
                ok = FALSE;
            if (n <= 0)
                break;
            content.append(chunk, static_cast<size_t>(n));
        }
    } catch (...) {
        ok = FALSE;
    }
    close(fd);
    if (ok)
        bytes.swap(content);
    return ok;
}

BOOL ReadWholeFile(const char* path, std::string& bytes)
{
    if (!path || !*path)
        return FALSE;
    struct stat info;
    return portable::ReadNativeFile(NativePath(path), bytes, info);
}

BOOL ReplaceWholeFile(const char* path, const std::string& bytes)
{
    if (!path || !*path)
        return FALSE;
    std::string native = NativePath(path);
    struct stat old;
    BOOL hadOld = stat(native.c_str(), &old) == 0;
    // A folder or a file we may not write is not ours to replace, although rename() would allow it. A file
    // without write bits is read-only as on Windows, also for root, whom access() lets write anything.
    if (hadOld && (!S_ISREG(old.st_mode) || (old.st_mode & 0222) == 0 || access(native.c_str(), W_OK) != 0)) {
        SetLastErrorCode(ERROR_ACCESS_DENIED);
        return FALSE;
    }
    // Windows makes and writes the new file and refuses only the move over a file another program holds.
    const BOOL held = hadOld && portable::IsHeld(old);
    std::string temp;
    int fd = -1;
    if (!Faulted(portable::FAULT_CREATE_TEMP, native)) {
        std::string tempPath;
        fd = CreateUniqueFile(FolderOf(native) + "/", kTempFilePrefix, tempPath, FALSE);
        temp = NativePath(tempPath.c_str());
    }
    if (fd < 0) {
        SetLastErrorCode(ERROR_WRITE_FAULT);
        return FALSE;
    }
    BOOL ok = !Faulted(portable::FAULT_WRITE, temp) && WriteAll(fd, bytes);
    if (ok && hadOld)
        ok = !Faulted(portable::FAULT_WRITE, temp) && fchmod(fd, old.st_mode & 07777) == 0;
    if (ok)
        ok = !Faulted(portable::FAULT_FLUSH, temp) && fsync(fd) == 0;
    if (close(fd) != 0 || Faulted(portable::FAULT_CLOSE, temp))
        ok = FALSE;
    DWORD error = ok ? ERROR_SUCCESS : ERROR_WRITE_FAULT;
    if (ok && held) {
        ok = FALSE;
        error = ERROR_SHARING_VIOLATION;
    }
    if (ok && (Faulted(portable::FAULT_REPLACE, native) || rename(temp.c_str(), native.c_str()) != 0)) {
        ok = FALSE;
        error = ERROR_WRITE_FAULT;
    }
    if (!ok && !Faulted(portable::FAULT_DELETE, temp))
        unlink(temp.c_str());
    NoteFileWrite();
    if (!ok)
        SetLastErrorCode(error);
    return ok;
}

BOOL CreateTempFileIn(const char* folder, const char* prefix, std::string& path)
{
    if (!folder)
        return FALSE;
    std::string base = folder;
    if (!base.empty() && base.back() != '\\' && base.back() != '/')
        base += '\\';
    // GetTempFileNameA's shape: up to three letters of the prefix, up to four hex digits, ".tmp".
    int fd = CreateUniqueFile(base, prefix, path, TRUE);
    if (fd < 0)
        return FALSE;
    close(fd);
    NoteFileWrite();
    return TRUE;
}

BOOL RemoveFile(const char* path)
{
    if (!path || !*path)
        return FALSE;
    std::string native = NativePath(path);
    struct stat info;
    if (stat(native.c_str(), &info) != 0 || S_ISDIR(info.st_mode))
        return FALSE;
    if (portable::IsHeld(info)) {
        SetLastErrorCode(ERROR_SHARING_VIOLATION);
        return FALSE;
    }
    if (Faulted(portable::FAULT_DELETE, native))
        return FALSE;
    const BOOL removed = unlink(native.c_str()) == 0 ? TRUE : FALSE;
    NoteFileWrite();
    return removed;
}

BOOL RemoveUnusedFile(const char* path)
{
    return RemoveFile(path);
}

} // namespace plat
