// File-system calls: existence, directory listing and whole-file reads and safe rewrites.
#pragma once

#include "PlatTypes.h"

#include <string>
#include <vector>

namespace plat {

// Paths use backslashes as on Windows; the portable backend maps them to its own separator.

// PathFileExistsA: TRUE for an existing file or folder.
BOOL PathExists(const char* path);

struct DirEntry
{
    std::string name;
    BOOL isDirectory = FALSE;
    // A symbolic link or junction (a reparse point): a walk that follows it may come back where it started.
    BOOL isLink = FALSE;
    // Last write, in 100-nanosecond ticks since 1601 (UTC), as a FILETIME gives it; ListOwnTempFiles only.
    unsigned long long writeTime = 0;
};

// The present time in writeTime's units.
unsigned long long FileTimeNow();

// The prefix of every temporary file the program makes beside a store: ReplaceWholeFile's new file and the
// copies made with CreateTempFileIn and this prefix are named it, one to four hex digits and ".tmp".
const char kTempFilePrefix[] = "nim";
// TRUE for a name of that form (letters in any case).
BOOL IsOwnTempFileName(const std::string& name);
// The files of folder whose names are of that form, with their last write time. A folder without any gives
// TRUE and no entries; FALSE when the folder cannot be listed.
BOOL ListOwnTempFiles(const char* folder, std::vector<DirEntry>& entries);

// Lists a folder as FindFirstFileA/FindNextFileA over folder + "\*.*" would, "." and ".." included, in the
// order the file system returns them. FALSE when the folder cannot be opened (entries then empty).
BOOL ListDirectory(const char* folder, std::vector<DirEntry>& entries);

// What tells one folder from another whatever path leads to it: a folder reached through a symbolic link or
// junction has the identity of the folder the link points at. On Windows the volume serial number and file
// index (GetFileInformationByHandle on the folder opened with FILE_FLAG_BACKUP_SEMANTICS); on the portable
// backend the device and inode of stat(), which follows links.
struct FolderId
{
    unsigned long long volume = 0;
    unsigned long long index = 0;
    bool operator==(const FolderId& other) const { return volume == other.volume && index == other.index; }
    bool operator<(const FolderId& other) const
    {
        return volume != other.volume ? volume < other.volume : index < other.index;
    }
};
// The identity of an existing folder, links followed; FALSE (id unchanged) when it cannot be read.
BOOL FolderIdentity(const char* folder, FolderId& id);

// Reads a whole file as bytes. FALSE when it cannot be opened or read; the output is then unchanged.
BOOL ReadWholeFile(const char* path, std::string& bytes);

// Replaces a file's content without risk: the bytes go to a new file in the same folder, are flushed, and the
// new file takes the old one's place in one step. On any failure the original is left exactly as it was, the
// new file is removed and the result is FALSE.
BOOL ReplaceWholeFile(const char* path, const std::string& bytes);

// TRUE when another program holds the file open so that it could not be written, replaced or deleted now
// (opened here with no sharing, Windows answers ERROR_SHARING_VIOLATION or ERROR_LOCK_VIOLATION); FALSE for a
// file nobody holds and for a missing path. A held file's failed ReplaceWholeFile or RemoveFile leaves the
// last error at ERROR_SHARING_VIOLATION (or ERROR_LOCK_VIOLATION).
BOOL IsFileHeldOpen(const char* path);

// Creates a new empty file with a unique name in folder (GetTempFileNameA with prefix); FALSE on failure.
BOOL CreateTempFileIn(const char* folder, const char* prefix, std::string& path);
BOOL RemoveFile(const char* path);
// Deletes a file only when nobody has it open (on Windows; the portable backend knows only the files its
// HoldFile holds); FALSE when it stays.
BOOL RemoveUnusedFile(const char* path);

// Creates a folder and any missing folders above it; TRUE when it exists afterwards.
BOOL CreateFolder(const char* path);
// Removes a folder with everything in it; TRUE when it is gone afterwards (also when it never was).
BOOL RemoveFolderTree(const char* path);

} // namespace plat
