// The environment calls of Environment.h for the portable backend: settable folders and command line, getenv.
#include "Environment.h"
#include "LastError.h"
#include "PortableControl.h"
#include "PortablePaths.h"

#include <cstdlib>
#include <cstring>
#include <mutex>
#include <strings.h>

extern char** environ;

namespace {

std::mutex g_envLock;
std::string g_commandLine = "nimbrel.exe";
std::string g_appDataFolder;
std::string g_localAppDataFolder;
std::string g_tempFolder;
std::string g_windowsFolder;
thread_local DWORD g_lastError = 0;

std::string DefaultTempFolder()
{
    const char* tmp = getenv("TMPDIR");
    std::string folder = (tmp && *tmp) ? tmp : "/tmp";
    while (folder.size() > 1 && folder.back() == '/')
        folder.pop_back();
    return folder;
}

std::string WithoutTrailingSeparator(std::string folder)
{
    while (folder.size() > 1 && (folder.back() == '/' || folder.back() == '\\'))
        folder.pop_back();
    return folder;
}

// Environment names match without regard to case on Windows.
BOOL LookUpVariable(const std::string& name, std::string& value)
{
    if (name.empty())
        return FALSE;
    if (const char* exact = getenv(name.c_str())) {
        value = exact;
        return TRUE;
    }
    for (char** entry = environ; entry && *entry; ++entry) {
        const char* eq = strchr(*entry, '=');
        if (!eq || static_cast<size_t>(eq - *entry) != name.size())
            continue;
        if (strncasecmp(*entry, name.c_str(), name.size()) == 0) {
            value = eq + 1;
            return TRUE;
        }
    }
    return FALSE;
}

} // namespace

namespace plat {

std::string CommandLineText()
{
    std::lock_guard<std::mutex> lock(g_envLock);
    return g_commandLine;
}

BOOL ProgramArguments(int argc, char** argv, std::vector<std::string>& args)
{
    if (argc < 1 || !argv)
        return FALSE;
    args.assign(argv + 1, argv + argc);
    return TRUE;
}

BOOL ExpandEnvironment(const char* text, std::string& expanded, DWORD limit)
{
    if (!text)
        return FALSE;
    std::string out;
    try {
        // As Windows does: an unknown %NAME% is copied whole and the scan goes on after its closing '%'.
        for (const char* p = text; *p;) {
            const char* close = *p == '%' ? strchr(p + 1, '%') : nullptr;
            if (!close) {
                out += *p++;
                continue;
            }
            std::string value;
            if (LookUpVariable(std::string(p + 1, close), value))
                out += value;
            else
                out.append(p, close + 1);
            p = close + 1;
        }
    } catch (...) {
        return FALSE;
    }
    if (out.size() + 1 > limit)
        return FALSE;
    expanded.swap(out);
    return TRUE;
}

BOOL AppDataFolder(std::string& folder)
{
    std::lock_guard<std::mutex> lock(g_envLock);
    folder = g_appDataFolder.empty() ? DefaultTempFolder() + "/nimbrel-appdata" : g_appDataFolder;
    return TRUE;
}

BOOL LocalAppDataFolder(std::string& folder)
{
    std::lock_guard<std::mutex> lock(g_envLock);
    folder =
        g_localAppDataFolder.empty() ? DefaultTempFolder() + "/nimbrel-localappdata" : g_localAppDataFolder;
    return TRUE;
}

BOOL TempFolder(std::string& folder)
{
    std::lock_guard<std::mutex> lock(g_envLock);
    std::string base = g_tempFolder.empty() ? DefaultTempFolder() : g_tempFolder;
    // Callers add names after a backslash-ended folder, as on Windows.
    folder = WithoutTrailingSeparator(base) + "\\";
    return TRUE;
}

DWORD LastErrorCode()
{
    return g_lastError;
}

void SetLastErrorCode(DWORD code)
{
    g_lastError = code;
}

namespace portable {

std::string NativePath(const char* path)
{
    std::string native = path ? path : "";
    for (char& c : native) {
        if (c == '\\')
            c = '/';
    }
    return native;
}

std::string WindowsFolder()
{
    std::lock_guard<std::mutex> lock(g_envLock);
    return g_windowsFolder.empty() ? DefaultTempFolder() : g_windowsFolder;
}

void SetCommandLine(const std::string& commandLine)
{
    std::lock_guard<std::mutex> lock(g_envLock);
    g_commandLine = commandLine;
}

void SetAppDataFolder(const std::string& folder)
{
    std::lock_guard<std::mutex> lock(g_envLock);
    g_appDataFolder = WithoutTrailingSeparator(folder);
}

void SetLocalAppDataFolder(const std::string& folder)
{
    std::lock_guard<std::mutex> lock(g_envLock);
    g_localAppDataFolder = WithoutTrailingSeparator(folder);
}

void SetTempFolder(const std::string& folder)
{
    std::lock_guard<std::mutex> lock(g_envLock);
    g_tempFolder = folder;
}

void SetWindowsFolder(const std::string& folder)
{
    std::lock_guard<std::mutex> lock(g_envLock);
    g_windowsFolder = WithoutTrailingSeparator(NativePath(folder.c_str()));
}

} // namespace portable
} // namespace plat
