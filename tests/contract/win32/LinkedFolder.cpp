// FolderWithLinkToItself under Wine: made by the test runner (tools/wine-run.sh) as a Unix link, which Wine
// lists as a reparse point; CreateSymbolicLinkA there reports success and makes nothing.
#include "contract/ContractBackend.h"

#include <windows.h>

namespace contract {

std::string FolderWithLinkToItself()
{
    const std::string folder = "C:\\nimbrel-links\\walk";
    const DWORD attributes = ::GetFileAttributesA((folder + "\\loop").c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_REPARSE_POINT))
        return std::string();
    return folder;
}

} // namespace contract
