// Where Windows' "App Paths" registration says a program lives.
#pragma once

#include "PlatTypes.h"

#include <string>

// Fills `path` from HKEY_LOCAL_MACHINE's App Paths entry of `exeName` (e.g. "OUTLOOK.EXE") when it names a
// file that exists: the 64-bit view first, where a 64-bit program registers, then the 32-bit one.
BOOL FindAppPath(const char* exeName, std::string& path);
