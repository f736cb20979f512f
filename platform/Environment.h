// Process environment: command line, environment variables and the user's special folders.
#pragma once

#include "PlatTypes.h"

#include <string>

namespace plat {

// The program's whole command line as GetCommandLineA gives it.
std::string CommandLineText();

// ExpandEnvironmentStringsA: %NAME% references replaced by their values; unknown ones stay as written.
// FALSE when the result would exceed limit characters with its NUL (the output is then unchanged).
BOOL ExpandEnvironment(const char* text, std::string& expanded, DWORD limit = 4096);

// Sets (or, with a null value, removes) a variable of this process's environment.
BOOL SetEnvironmentValue(const char* name, const char* value);

// The per-user application-data folder (CSIDL_APPDATA), without a trailing backslash.
BOOL AppDataFolder(std::string& folder);

// The folder for temporary files, ending in a backslash.
BOOL TempFolder(std::string& folder);

} // namespace plat
