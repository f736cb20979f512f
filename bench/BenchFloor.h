// CBenchFloor: what the least work costs that any load or write of the same stores must do, measured with
// plain system calls beside the program's own work.
#pragma once

#include <string>
#include <vector>

class CBenchFloor
{
public:
    // Lists every folder below path with readdir alone (no stat, no sorting); returns the entries seen.
    static size_t WalkTree(const std::string& path);
    // Reads each file whole, once; returns the bytes read.
    static size_t ReadFiles(const std::vector<std::string>& paths);
    // Reads every value of every key below each key of HKEY_CURRENT_USER once; returns the values read.
    static size_t WalkRegistry(const std::vector<std::string>& keys);
    // Copies a file beside itself (read whole, write a new file, durable adds a flush to disk, move into
    // place of a copy) and removes the copy; returns FALSE when it could not.
    static bool CopyFile(const std::string& path, bool durable);
};
