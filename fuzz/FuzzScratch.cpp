// CFuzzScratch: the one scratch folder of a fuzz process, with the portable backend's folders pointed into
// it.
#include "FuzzScratch.h"

#include "Files.h"
#include "PortableControl.h"

#include <cstdio>
#include <cstdlib>
#include <unistd.h>

namespace {

std::string g_removeAtExit;

void RemoveScratch()
{
    if (!g_removeAtExit.empty())
        plat::RemoveFolderTree(g_removeAtExit.c_str());
}

} // namespace

CFuzzScratch::CFuzzScratch()
{
    // Every input writes and replaces files: memory-backed folders keep that from being the fuzzer's cost.
    const char* base =
        access("/dev/shm", W_OK) == 0 ? "/dev/shm" : (getenv("TMPDIR") ? getenv("TMPDIR") : "/tmp");
    m_root = std::string(base) + "/nimbrel-fuzz-" + std::to_string(getpid());
    for (char& c : m_root) {
        if (c == '/')
            c = '\\';
    }
    plat::RemoveFolderTree(m_root.c_str());
    plat::CreateFolder(m_root.c_str());
    g_removeAtExit = m_root;
    atexit(&RemoveScratch);
    Reset();
}

const CFuzzScratch& CFuzzScratch::Get()
{
    static const CFuzzScratch scratch;
    return scratch;
}

bool CFuzzScratch::WriteFile(const std::string& path, const std::string& bytes)
{
    size_t slash = path.rfind('\\');
    if (slash != std::string::npos)
        plat::CreateFolder(path.substr(0, slash).c_str());
    return plat::ReplaceWholeFile(path.c_str(), bytes) != 0;
}

void CFuzzScratch::Reset() const
{
    std::vector<plat::DirEntry> entries;
    plat::ListDirectory(m_root.c_str(), entries);
    for (const plat::DirEntry& entry : entries) {
        if (entry.name != "." && entry.name != "..")
            plat::RemoveFolderTree((m_root + "\\" + entry.name).c_str());
    }
    ResetRegistry();
    plat::portable::SetTempFolder(m_root + "\\temp");
    plat::CreateFolder((m_root + "\\temp").c_str());
    plat::portable::SetAppDataFolder(m_root + "\\appdata");
    plat::portable::SetWindowsFolder(m_root + "\\windows");
}

void CFuzzScratch::ResetRegistry() const
{
    plat::portable::ResetRegistry();
}

void FuzzFail(const char* what)
{
    fprintf(stderr, "fuzz invariant broken: %s\n", what);
    abort();
}
