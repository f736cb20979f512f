// Running processes: the executable file names of a process snapshot.
#pragma once

#include "PlatTypes.h"

#include <string>
#include <vector>

namespace plat {

// The file names (no folder) of every running process, as Process32First/Process32Next give them.
// FALSE when no snapshot could be taken.
BOOL ListProcessNames(std::vector<std::string>& names);

// TRUE when a running process has this file name, compared without regard to case.
BOOL IsProcessRunning(const std::string& exeName);

} // namespace plat
