// CMozillaPrefsShare: the "prefs.js" files one load has parsed.
#include "clients/MozillaPrefsShare.h"

#include "Files.h"

std::shared_ptr<CMozillaPrefsFile> CMozillaPrefsShare::Read(const std::string& path)
{
    for (const auto& read : m_read) {
        if (read.first == path)
            return read.second;
    }
    std::string bytes;
    if (!plat::ReadWholeFile(path.c_str(), bytes))
        bytes.clear();
    std::shared_ptr<CMozillaPrefsFile> parsed = std::make_shared<CMozillaPrefsFile>();
    parsed->Load(std::move(bytes));
    m_read.emplace_back(path, parsed);
    return parsed;
}

void CMozillaPrefsShare::Own(std::shared_ptr<CMozillaPrefsFile>& file)
{
    if (file.use_count() > 1)
        file = std::make_shared<CMozillaPrefsFile>(*file);
}
