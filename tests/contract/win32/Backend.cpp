// What the contract tests need from the win32 backend under Wine: this program's module name, and the folder
// with a link to itself that the test runner (tools/wine-run.sh) made as a Unix link, which Wine lists as a
// reparse point; CreateSymbolicLinkA there reports success and makes nothing.
#include "contract/ContractBackend.h"

#include <windows.h>

#include <map>
#include <string>

namespace {

// The handles HoldTestFile opened, by path.
std::map<std::string, HANDLE> g_held;

std::wstring WideOf(const std::string& text)
{
    std::wstring wide(text.size() + 1, L'\0');
    const int n = MultiByteToWideChar(CP_UTF8, 0, text.c_str(), -1, &wide[0], static_cast<int>(wide.size()));
    wide.resize(n > 0 ? static_cast<size_t>(n - 1) : 0);
    return wide;
}

} // namespace

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

bool HoldTestFile(const std::string& path, bool othersMayRead)
{
    ReleaseTestFile(path);
    HANDLE file =
        CreateFileW(WideOf(path).c_str(), GENERIC_READ | GENERIC_WRITE, othersMayRead ? FILE_SHARE_READ : 0,
                    nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    g_held[path] = file;
    return true;
}

void ReleaseTestFile(const std::string& path)
{
    auto held = g_held.find(path);
    if (held == g_held.end())
        return;
    CloseHandle(held->second);
    g_held.erase(held);
}

} // namespace contract
