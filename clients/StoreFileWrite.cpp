// ReplaceStoreFile: a store file's rewrite that also clears what an earlier, stopped run left beside it.
#include "clients/StoreFileWrite.h"

#include "Files.h"

#include <vector>

namespace {

// A minute in the ticks of plat::DirEntry::writeTime: a younger file may be another run's, still being
// written.
const unsigned long long kStaleAge = 60ULL * 10000000ULL;

} // namespace

void RemoveStaleTempFiles(const std::string& folder)
{
    std::vector<plat::DirEntry> found;
    if (!plat::ListOwnTempFiles(folder.c_str(), found))
        return;
    const unsigned long long now = plat::FileTimeNow();
    for (const plat::DirEntry& entry : found) {
        if (entry.writeTime < now && now - entry.writeTime > kStaleAge)
            plat::RemoveUnusedFile(
                (folder + (folder.empty() || folder.back() == '\\' ? "" : "\\") + entry.name).c_str());
    }
}

BOOL ReplaceStoreFile(const std::string& path, const std::string& bytes)
{
    if (!plat::ReplaceWholeFile(path.c_str(), bytes))
        return FALSE;
    const size_t slash = path.find_last_of("\\/");
    RemoveStaleTempFiles(slash == std::string::npos ? std::string(".") : path.substr(0, slash));
    return TRUE;
}
