// The environment calls of Environment.h over the Windows kernel and shell.
#include "Environment.h"
#include "LastError.h"

#include <shlobj.h>

#include <vector>

namespace plat {

std::string CommandLineText()
{
    const char* line = GetCommandLineA();
    return line ? line : "";
}

BOOL ExpandEnvironment(const char* text, std::string& expanded, DWORD limit)
{
    if (!text)
        return FALSE;
    // Ask for the size first: the ANSI call's count is not to be trusted to the byte, the NUL in the result
    // is.
    DWORD needed = ExpandEnvironmentStringsA(text, nullptr, 0);
    if (needed == 0)
        return FALSE;
    std::vector<char> buffer;
    try {
        buffer.assign(static_cast<size_t>(needed) + 2, 0);
    } catch (...) {
        return FALSE;
    }
    DWORD got = ExpandEnvironmentStringsA(text, buffer.data(), static_cast<DWORD>(buffer.size() - 1));
    if (got == 0 || got > buffer.size() - 1)
        return FALSE;
    std::string result(buffer.data());
    if (result.size() + 1 > limit)
        return FALSE;
    expanded.swap(result);
    return TRUE;
}

BOOL AppDataFolder(std::string& folder)
{
    char path[MAX_PATH] = {};
    if (!SHGetSpecialFolderPathA(nullptr, path, CSIDL_APPDATA, FALSE))
        return FALSE;
    folder = path;
    while (folder.size() > 3 && folder.back() == '\\')
        folder.pop_back();
    return TRUE;
}

BOOL TempFolder(std::string& folder)
{
    char path[MAX_PATH + 1] = {};
    DWORD length = GetTempPathA(sizeof(path), path);
    if (length == 0 || length >= sizeof(path))
        return FALSE;
    folder = path;
    if (folder.back() != '\\')
        folder += '\\';
    return TRUE;
}

DWORD LastErrorCode()
{
    return GetLastError();
}

void SetLastErrorCode(DWORD code)
{
    SetLastError(code);
}

} // namespace plat
