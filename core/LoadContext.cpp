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
    std::set<plat::FolderId> visited;
    SearchFolder(directory, fileName, 0, visited, search.found);
    m_searches.push_back(std::move(search));
    return m_searches.back().found;
}

void CLoadContext::SearchFolder(const std::string& directory, const std::string& fileName, int depth,
                                std::set<plat::FolderId>& visited, std::vector<std::string>& found)
{
    plat::FolderId id;
    if (plat::FolderIdentity(directory.c_str(), id) && !visited.insert(id).second)
        return;
    std::vector<plat::DirEntry> entries;
    if (!plat::ListDirectory(directory.c_str(), entries))
        return;
    for (const plat::DirEntry& entry : entries) {
        if (entry.isDirectory && !entry.name.empty() && entry.name[0] != '.') {
            if (depth < kMaxSearchDepth)
                SearchFolder(directory + "\\" + entry.name, fileName, depth + 1, visited, found);
        } else if (fileName.size() > 1 && fileName[0] == '*') {
            // "*.ext": every file with that extension, under its own name.
            const std::string suffix = fileName.substr(1);
            if (entry.name.size() > suffix.size() &&
                EqualsNoCase(entry.name.substr(entry.name.size() - suffix.size()), suffix))
                found.push_back(directory + "\\" + entry.name);
        } else if (EqualsNoCase(entry.name, fileName))
            found.push_back(directory + "\\" + fileName);
    }
}
