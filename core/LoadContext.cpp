// CLoadContext: what one load of the clients reads and shares.
#include "core/LoadContext.h"

#include "core/TextUtil.h"
#include "Files.h"

const std::vector<std::string>& CLoadContext::FindFiles(const std::string& directory,
                                                        const std::string& fileName)
{
    for (const FolderSearch& search : m_searches) {
        if (search.directory == directory && search.fileName == fileName)
            return search.found;
    }
    FolderSearch search{directory, fileName, {}};
    SearchFolder(directory, fileName, search.found);
    m_searches.push_back(std::move(search));
    return m_searches.back().found;
}

void CLoadContext::SearchFolder(const std::string& directory, const std::string& fileName,
                                std::vector<std::string>& found)
{
    std::vector<plat::DirEntry> entries;
    if (!plat::ListDirectory(directory.c_str(), entries))
        return;
    for (const plat::DirEntry& entry : entries) {
        // A linked folder is not entered: a link back up the tree would make the walk, and the load, endless.
        if (entry.isDirectory && !entry.name.empty() && entry.name[0] != '.') {
            if (!entry.isLink)
                SearchFolder(directory + "\\" + entry.name, fileName, found);
        } else if (EqualsNoCase(entry.name, fileName))
            found.push_back(directory + "\\" + fileName);
    }
}
