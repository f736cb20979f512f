// FolderWithLinkToItself for the portable backend: a POSIX symbolic link below the temporary folder.
#include "contract/ContractBackend.h"

#include "Environment.h"
#include "Files.h"

#include <unistd.h>

namespace {

struct CRemovedAtExit
{
    std::string folder;
    ~CRemovedAtExit()
    {
        if (!folder.empty())
            plat::RemoveFolderTree(folder.c_str());
    }
} g_made;

} // namespace

namespace contract {

std::string FolderWithLinkToItself()
{
    std::string temp;
    if (!plat::TempFolder(temp))
        return std::string();
    if (!temp.empty() && (temp.back() == '\\' || temp.back() == '/'))
        temp.pop_back();
    g_made.folder = temp + "\\nimbrel-links-" + std::to_string(getpid());
    const std::string folder = g_made.folder + "\\walk";
    std::string native = folder;
    for (char& c : native) {
        if (c == '\\')
            c = '/';
    }
    if (!plat::CreateFolder(folder.c_str()) ||
        !plat::ReplaceWholeFile((folder + "\\prefs.js").c_str(), "found"))
        return std::string();
    unlink((native + "/loop").c_str());
    return symlink("../walk", (native + "/loop").c_str()) == 0 ? folder : std::string();
}

} // namespace contract
