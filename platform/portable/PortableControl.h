// What the portable backend lets tests and tools set that Windows takes from the machine.
#pragma once

#include "PlatTypes.h"

#include <string>
#include <vector>

namespace plat {
namespace portable {

// Forgets every key and value of the in-memory registry.
void ResetRegistry();
void SetCommandLine(const std::string& commandLine);
void SetAppDataFolder(const std::string& folder);
void SetLocalAppDataFolder(const std::string& folder);
void SetTempFolder(const std::string& folder);
void SetWindowsFolder(const std::string& folder);
void SetProcessNames(const std::vector<std::string>& names);
// How many times LoadFileIcons has been called so far: icons cost a load time it need not spend.
int IconRequests();

// Holds an existing file open as another program would: until ReleaseFile, writes, replacements and deletions
// of that path fail with ERROR_SHARING_VIOLATION and IsFileHeldOpen is TRUE. othersMayRead FALSE (no sharing
// at all) makes reads fail too. FALSE when there is no such file.
BOOL HoldFile(const std::string& path, BOOL othersMayRead = TRUE);
void ReleaseFile(const std::string& path);

} // namespace portable
} // namespace plat
