// Path helpers shared by the portable backend's files: Windows-style paths onto POSIX ones.
#pragma once

#include <string>

namespace plat {
namespace portable {

// The path with every backslash turned into '/'.
std::string NativePath(const char* path);
// The folder that stands for the Windows directory, without a trailing separator.
std::string WindowsFolder();

} // namespace portable
} // namespace plat
