// What the contract tests need from the win32 backend under Wine: this program's module name, and the folder
// with a link to itself that the test runner (tools/wine-run.sh) made as a Unix link, which Wine lists as a
// reparse point; CreateSymbolicLinkA there reports success and makes nothing.
#include "contract/ContractBackend.h"

#include <windows.h>

namespace contract {

std::string OwnProcessName()
{
    char path[MAX_PATH] = {};
    std::string full(path, GetModuleFileNameA(nullptr, path, MAX_PATH));
    return full.substr(full.find_last_of("\\/") + 1);
}

std::string FolderWithLinkToItself()
{
    const std::string folder = "C:\\nimbrel-links\\walk";
    const DWORD attributes = ::GetFileAttributesA((folder + "\\loop").c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_REPARSE_POINT))
        return std::string();
    return folder;
}

} // namespace contract
