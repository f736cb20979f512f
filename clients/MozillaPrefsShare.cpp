// CMozillaPrefsShare: parses of "prefs.js" files shared while somebody holds them.
#include "clients/MozillaPrefsShare.h"

#include "ReadBatch.h"

#include <mutex>
#include <utility>
#include <vector>

namespace {

struct HeldParse
{
    std::string path;
    std::weak_ptr<CMozillaPrefsFile> file;
    unsigned long batch = 0; // the read batch that last read these bytes from path, 0 for none
};

std::mutex g_shareLock;
// Only what some adapter holds: a parse nobody holds any more is dropped, never kept for later.
std::vector<HeldParse> g_held;

} // namespace

std::shared_ptr<CMozillaPrefsFile> CMozillaPrefsShare::Parsed(const std::string& path, std::string bytes)
{
    std::lock_guard<std::mutex> lock(g_shareLock);
    const unsigned long batch = plat::ReadBatchId();
    std::shared_ptr<CMozillaPrefsFile> found;
    for (size_t i = 0; i < g_held.size();) {
        std::shared_ptr<CMozillaPrefsFile> held = g_held[i].file.lock();
        if (!held) {
            g_held.erase(g_held.begin() + static_cast<std::ptrdiff_t>(i));
            continue;
        }
        if (!found && g_held[i].path == path && held->Bytes() == bytes) {
            found = held;
            g_held[i].batch = batch;
        }
        ++i;
    }
    if (found)
        return found;
    std::shared_ptr<CMozillaPrefsFile> parsed = std::make_shared<CMozillaPrefsFile>();
    parsed->Load(std::move(bytes));
    g_held.push_back({path, parsed, batch});
    return parsed;
}

std::shared_ptr<CMozillaPrefsFile> CMozillaPrefsShare::ReadThisBatch(const std::string& path)
{
    const unsigned long batch = plat::ReadBatchId();
    if (batch == 0)
        return nullptr;
    std::lock_guard<std::mutex> lock(g_shareLock);
    for (const HeldParse& held : g_held) {
        if (held.batch == batch && held.path == path) {
            if (std::shared_ptr<CMozillaPrefsFile> file = held.file.lock())
                return file;
        }
    }
    return nullptr;
}

void CMozillaPrefsShare::Own(std::shared_ptr<CMozillaPrefsFile>& file)
{
    std::lock_guard<std::mutex> lock(g_shareLock);
    if (file.use_count() > 1)
        file = std::make_shared<CMozillaPrefsFile>(*file);
}
