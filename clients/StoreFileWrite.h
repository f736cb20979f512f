// ReplaceStoreFile: a store file's rewrite that also clears what an earlier, stopped run left beside it.
#pragma once

#include "PlatTypes.h"

#include <string>

// plat::ReplaceWholeFile of path; when it succeeds, the program's own temporary files in the same folder that
// are older than a minute and open by nobody are removed: a run stopped half way leaves one there, and no
// other run would ever take it away. Their removal does not change the result.
BOOL ReplaceStoreFile(const std::string& path, const std::string& bytes);

// The removal alone, for a folder that was just written.
void RemoveStaleTempFiles(const std::string& folder);
