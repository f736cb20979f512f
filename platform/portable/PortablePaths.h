// Path and file helpers shared by the portable backend's files: Windows-style paths onto POSIX ones.
#pragma once

#include "PlatTypes.h"

#include <string>
#include <sys/stat.h>

namespace plat {
namespace portable {

// The path with every backslash turned into '/'.
std::string NativePath(const char* path);
// The folder that stands for the Windows directory, without a trailing separator.
std::string WindowsFolder();
// ReadWholeFile of a native path, with the file's status as it was before its bytes were read.
BOOL ReadNativeFile(const std::string& native, std::string& bytes, struct stat& info);

} // namespace portable
} // namespace plat
