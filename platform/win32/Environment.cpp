// The environment calls of Environment.h over the Windows kernel and shell.
#include "Environment.h"
#include "LastError.h"
#include "WideText.h"

#include <shellapi.h>
#include <shlobj.h>

#include <vector>

namespace plat {

std::string CommandLineText()
{
    // The W line: the A one is best-fit mapped, which turns full-width "－－ａｌｌ" into "--all".
    const wchar_t* line = GetCommandLineW();
    std::string utf8;
    if (!line || !ToUtf8(line, utf8))
        return "";
    return utf8;
}

BOOL ProgramArguments(int /*argc*/, char** /*argv*/, std::vector<std::string>& args)
{
    int count = 0;
    LPWSTR* wide = CommandLineToArgvW(GetCommandLineW(), &count);
    if (!wide)
        return FALSE;
    std::vector<std::string> result;
    BOOL ok = TRUE;
    try {
        for (int i = 1; i < count && ok; ++i) {
            std::string utf8;
            ok = ToUtf8(wide[i], utf8);
            result.push_back(utf8);
        }
    } catch (...) {
        ok = FALSE;
    }
    LocalFree(wide);
    if (ok)
        args.swap(result);
    return ok;
}

BOOL ExpandEnvironment(const char* text, std::string& expanded, DWORD limit)
{
    std::wstring wide;
    if (!text || !ToWide(text, wide))
        return FALSE;
    DWORD needed = ExpandEnvironmentStringsW(wide.c_str(), nullptr, 0);
    if (needed == 0)
        return FALSE;
    std::vector<wchar_t> buffer;
    try {
        buffer.assign(static_cast<size_t>(needed) + 2, 0);
    } catch (...) {
        return FALSE;
    }
    DWORD got = ExpandEnvironmentStringsW(wide.c_str(), buffer.data(), static_cast<DWORD>(buffer.size() - 1));
    if (got == 0 || got > buffer.size() - 1)
        return FALSE;
    std::string result;
    if (!ToUtf8(buffer.data(), result))
        return FALSE;
    if (result.size() + 1 > limit)
        return FALSE;
    expanded.swap(result);
    return TRUE;
}

namespace {

BOOL ShellFolder(int csidl, std::string& folder)
{
    wchar_t path[MAX_PATH] = {};
    std::string utf8;
    if (FAILED(SHGetFolderPathW(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, path)) || !ToUtf8(path, utf8))
        return FALSE;
    while (utf8.size() > 3 && utf8.back() == '\\')
        utf8.pop_back();
    folder.swap(utf8);
    return TRUE;
}

} // namespace

BOOL AppDataFolder(std::string& folder)
{
    return ShellFolder(CSIDL_APPDATA, folder);
}

BOOL LocalAppDataFolder(std::string& folder)
{
    return ShellFolder(CSIDL_LOCAL_APPDATA, folder);
}

BOOL TempFolder(std::string& folder)
{
    wchar_t path[MAX_PATH + 1] = {};
    DWORD length = GetTempPathW(MAX_PATH + 1, path);
    std::string utf8;
    if (length == 0 || length >= MAX_PATH + 1 || !ToUtf8(path, length, utf8))
        return FALSE;
    if (utf8.back() != '\\')
        utf8 += '\\';
    folder.swap(utf8);
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
