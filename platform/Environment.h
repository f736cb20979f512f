// Process environment: command line, environment variables and the user's special folders.
#pragma once

#include "PlatTypes.h"

#include <string>
#include <vector>

namespace plat {

// The program's whole command line in UTF-8, from GetCommandLineW: the A line is best-fit mapped, which would
// turn letters such as full-width ones into look-alike ASCII options.
std::string CommandLineText();

// The arguments after the program's name in UTF-8. The win32 backend takes them from the W command line and
// ignores argv (which the runtime has best-fit mapped); the portable backend takes argv as it is.
BOOL ProgramArguments(int argc, char** argv, std::vector<std::string>& args);

// ExpandEnvironmentStringsA: %NAME% references replaced by their values; unknown ones stay as written.
// FALSE when the result would exceed limit characters with its NUL (the output is then unchanged).
BOOL ExpandEnvironment(const char* text, std::string& expanded, DWORD limit = 4096);

// Sets (or, with a null value, removes) a variable of this process's environment.
BOOL SetEnvironmentValue(const char* name, const char* value);

// The per-user application-data folder (CSIDL_APPDATA), without a trailing backslash.
BOOL AppDataFolder(std::string& folder);

// The per-user local (not roaming) application-data folder (CSIDL_LOCAL_APPDATA), without a trailing
// backslash.
BOOL LocalAppDataFolder(std::string& folder);

// The folder for temporary files, ending in a backslash.
BOOL TempFolder(std::string& folder);

} // namespace plat
