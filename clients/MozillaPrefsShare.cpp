// CMozillaPrefsShare: parses of "prefs.js" files shared while somebody holds them.
#include "clients/MozillaPrefsShare.h"

#include <mutex>
#include <utility>
#include <vector>

namespace {

std::mutex g_shareLock;
// Only what some adapter holds: a parse nobody holds any more is dropped, never kept for later.
std::vector<std::pair<std::string, std::weak_ptr<CMozillaPrefsFile>>> g_held;

} // namespace

std::shared_ptr<CMozillaPrefsFile> CMozillaPrefsShare::Parsed(const std::string& path, std::string bytes)
{
    std::lock_guard<std::mutex> lock(g_shareLock);
    std::shared_ptr<CMozillaPrefsFile> found;
    for (size_t i = 0; i < g_held.size();) {
        std::shared_ptr<CMozillaPrefsFile> held = g_held[i].second.lock();
        if (!held) {
            g_held.erase(g_held.begin() + static_cast<std::ptrdiff_t>(i));
            continue;
        }
        if (!found && g_held[i].first == path && held->Bytes() == bytes)
            found = held;
        ++i;
    }
    if (found)
        return found;
    std::shared_ptr<CMozillaPrefsFile> parsed = std::make_shared<CMozillaPrefsFile>();
    parsed->Load(std::move(bytes));
    g_held.emplace_back(path, parsed);
    return parsed;
}

void CMozillaPrefsShare::Own(std::shared_ptr<CMozillaPrefsFile>& file)
{
    std::lock_guard<std::mutex> lock(g_shareLock);
    if (file.use_count() > 1)
        file = std::make_shared<CMozillaPrefsFile>(*file);
}
