// What the contract tests need from the portable backend: a scripted process list that holds this program,
// and a folder with a POSIX symbolic link to itself, removed at exit.
#include "contract/ContractBackend.h"
#include "contract/ContractFolder.h"

#include "Environment.h"
#include "Files.h"
#include "PortableControl.h"

#include <algorithm>
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

std::string OwnProcessName()
{
    plat::portable::SetProcessNames({"[System Process]", "System", "explorer.exe", "contract_tests.exe"});
    return "contract_tests.exe";
}

std::string FolderWithLinkToItself()
{
    std::string temp;
    if (!plat::TempFolder(temp))
        return std::string();
    g_made.folder = temp + "nimbrel-links-" + std::to_string(getpid());
    const std::string folder = g_made.folder + "\\walk";
    std::string native = folder + "/loop";
    std::replace(native.begin(), native.end(), '\\', '/');
    if (!plat::CreateFolder(folder.c_str()) || !WriteTestFile(folder + "\\prefs.js", "found"))
        return std::string();
    unlink(native.c_str());
    return symlink("../walk", native.c_str()) == 0 ? folder : std::string();
}

bool HoldTestFile(const std::string& path, bool othersMayRead)
{
    return plat::portable::HoldFile(path, othersMayRead ? TRUE : FALSE) != FALSE;
}

void ReleaseTestFile(const std::string& path)
{
    plat::portable::ReleaseFile(path);
}

} // namespace contract
