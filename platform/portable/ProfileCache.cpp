// CProfileCache: a short list of parsed profile files, checked against the file's identity and times.
#include "ProfileCache.h"

#include "PortablePaths.h"
#include "ReadBatch.h"

#include <algorithm>
#include <atomic>

#include <sys/stat.h>

namespace plat {
namespace portable {

namespace {

std::atomic<unsigned long> g_fileWrites(0);

// As many files as Wine keeps.
const size_t kKeptFiles = 10;
// File times are kept with a coarse clock, and some file systems keep whole seconds: a file whose times
// are younger than this when it is read may change again without its times showing it.
const long long kTimeGrainNs = 1000000000LL;

bool SameTime(const timespec& a, const timespec& b)
{
    return a.tv_sec == b.tv_sec && a.tv_nsec == b.tv_nsec;
}

long long Nanoseconds(const timespec& t)
{
    return static_cast<long long>(t.tv_sec) * 1000000000LL + t.tv_nsec;
}

BOOL OldEnough(const struct stat& info)
{
    timespec now;
    clock_gettime(CLOCK_REALTIME, &now);
    const long long youngest = std::max(Nanoseconds(info.st_mtim), Nanoseconds(info.st_ctim));
    return Nanoseconds(now) - youngest > kTimeGrainNs ? TRUE : FALSE;
}

} // namespace

void NoteFileWrite()
{
    ++g_fileWrites;
}

std::shared_ptr<const CProfileDocument> CProfileCache::Get(const std::string& nativePath)
{
    const unsigned long writes = g_fileWrites;
    const unsigned long batch = ReadBatchId();
    size_t found = 0;
    while (found < m_entries.size() && m_entries[found].path != nativePath)
        ++found;
    // Checked already in this read batch, and no file written since.
    if (found < m_entries.size() && batch != 0 && m_entries[found].batch == batch &&
        m_entries[found].writes == writes)
        return m_entries[found].document;
    std::shared_ptr<const CProfileDocument> kept;
    struct stat info;
    if (found < m_entries.size()) {
        if (stat(nativePath.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) {
            Forget(nativePath);
            return nullptr;
        }
        const Entry& entry = m_entries[found];
        if (entry.device == info.st_dev && entry.inode == info.st_ino && entry.size == info.st_size &&
            SameTime(entry.modified, info.st_mtim) && SameTime(entry.changed, info.st_ctim))
            kept = entry.document;
        if (kept && entry.trusted) {
            Entry moved = entry;
            moved.batch = batch;
            moved.writes = writes;
            m_entries.erase(m_entries.begin() + static_cast<std::ptrdiff_t>(found));
            m_entries.insert(m_entries.begin(), moved);
            return kept;
        }
        m_entries.erase(m_entries.begin() + static_cast<std::ptrdiff_t>(found));
    }
    // A file not kept is opened at once: its status comes from the open file, one path lookup, not two.
    std::string bytes;
    if (!ReadNativeFile(nativePath, bytes, info))
        return nullptr;
    Entry entry;
    entry.path = nativePath;
    entry.device = info.st_dev;
    entry.inode = info.st_ino;
    entry.size = info.st_size;
    entry.modified = info.st_mtim;
    entry.changed = info.st_ctim;
    // Times read before the bytes: a change after them shows in the times, unless the times are too young.
    entry.trusted = OldEnough(info) && static_cast<off_t>(bytes.size()) == info.st_size;
    entry.batch = batch;
    entry.writes = writes;
    if (kept && kept->Bytes() == bytes)
        entry.document = kept;
    else
        entry.document = std::make_shared<const CProfileDocument>(std::move(bytes));
    m_entries.insert(m_entries.begin(), entry);
    if (m_entries.size() > kKeptFiles)
        m_entries.pop_back();
    return m_entries.front().document;
}

void CProfileCache::Forget(const std::string& nativePath)
{
    for (size_t i = 0; i < m_entries.size(); ++i) {
        if (m_entries[i].path == nativePath) {
            m_entries.erase(m_entries.begin() + static_cast<std::ptrdiff_t>(i));
            return;
        }
    }
}

} // namespace portable
} // namespace plat
