// CProfileCache: the parsed profile files read last, checked against the file's identity and times.
#include "ProfileCache.h"

#include "PortablePaths.h"
#include "ReadBatch.h"

#include <algorithm>
#include <iterator>

#include <sys/stat.h>

namespace plat {
namespace portable {

namespace {

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

void CProfileCache::Touch(std::list<Entry>::iterator entry)
{
    m_entries.splice(m_entries.begin(), m_entries, entry);
}

void CProfileCache::Trim(unsigned long batch)
{
    while (m_entries.size() > kKeptFiles && (batch == 0 || m_entries.back().batch != batch))
        Remove(std::prev(m_entries.end()));
}

void CProfileCache::Remove(std::list<Entry>::iterator entry)
{
    m_byPath.erase(entry->path);
    m_entries.erase(entry);
}

std::shared_ptr<const CProfileDocument> CProfileCache::Get(const std::string& nativePath)
{
    const unsigned long writes = FileWriteCount();
    const unsigned long batch = ReadBatchId();
    // What an earlier batch kept beyond Wine's length goes now: the next load reads its files again.
    Trim(batch);
    // Most reads ask for the file read last: its path needs no hashing.
    auto at = m_entries.end();
    if (!m_entries.empty() && m_entries.front().path == nativePath) {
        at = m_entries.begin();
    } else {
        auto known = m_byPath.find(nativePath);
        if (known != m_byPath.end())
            at = known->second;
    }
    const bool isKept = at != m_entries.end();
    // Checked already in this read batch, and no file written since.
    if (isKept && batch != 0 && at->batch == batch && at->writes == writes) {
        Touch(at);
        return at->document;
    }
    std::shared_ptr<const CProfileDocument> kept;
    struct stat info;
    if (isKept) {
        Entry& entry = *at;
        if (stat(nativePath.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) {
            Remove(at);
            return nullptr;
        }
        if (entry.device == info.st_dev && entry.inode == info.st_ino && entry.size == info.st_size &&
            SameTime(entry.modified, info.st_mtim) && SameTime(entry.changed, info.st_ctim))
            kept = entry.document;
        if (kept && entry.trusted) {
            entry.batch = batch;
            entry.writes = writes;
            Touch(at);
            return kept;
        }
        Remove(at);
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
    m_entries.push_front(std::move(entry));
    m_byPath[nativePath] = m_entries.begin();
    Trim(batch);
    return m_entries.front().document;
}

void CProfileCache::Forget(const std::string& nativePath)
{
    auto known = m_byPath.find(nativePath);
    if (known != m_byPath.end())
        Remove(known->second);
}

} // namespace portable
} // namespace plat
