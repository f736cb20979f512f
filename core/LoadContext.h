// CLoadContext: what one load of the clients reads and shares, held for that load and dropped with it.
#pragma once

#include "Files.h"
#include "ReadBatch.h"

#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

/*
 * One load reads every installed client's store once. Clients that look at the same disk (Mozilla and
 * Netscape search and read the same profiles) take what the first one read instead of reading it again, and
 * nothing read in one load is seen by the next: a refresh always reads the stores as they are now.
 *
 * Whoever loads makes one context for the load and passes it to every adapter's LoadClient: the catalogue one
 * for all its clients, LoadClient a context of its own when an adapter is loaded alone. The context holds:
 *  - the read batch: while it lives the platform layer may answer repeated reads of one profile or file from
 *    what it read earlier in the load (the portable backend's profile and file caches; Windows keeps none);
 *  - the folder searches: a tree searched for a file name once per load (FindFiles);
 *  - shared parts of the adapters' own making, by name (Shared): the parsed prefs.js files that Mozilla and
 *    Netscape both read.
 * An adapter sees the context only inside LoadClient; writes come after the load and never go through it.
 */
class CLoadContext
{
public:
    // A part that adapters share within the load; dropped with the context.
    class CShared
    {
    public:
        virtual ~CShared() = default;
    };

    CLoadContext() = default;
    CLoadContext(const CLoadContext&) = delete;
    CLoadContext& operator=(const CLoadContext&) = delete;

    // Every path below directory whose entry name equals fileName (any case; "*.ext" takes every name ending
    // in ".ext", the path then with the entry's own name), in the order of a depth-first
    // walk. The first search of a tree for a name in this load walks it; later ones give what it found.
    // Linked folders (symbolic links, junctions) are entered: users move a profile to another drive and leave
    // a link. Each folder is walked once, known by its identity, so a link back up the tree ends the walk
    // there; a folder whose identity cannot be read is walked, and kMaxSearchDepth bounds the walk then.
    const std::vector<std::string>& FindFiles(const std::string& directory, const std::string& fileName);

    // The part kept under name, made (default-constructed T) on first use. Every user of a name asks for the
    // same T.
    template <class T> T& Shared(const std::string& name)
    {
        std::unique_ptr<CShared>& held = m_shared[name];
        if (!held)
            held.reset(new T);
        return static_cast<T&>(*held);
    }

private:
    struct FolderSearch
    {
        std::string directory;
        std::string fileName;
        std::vector<std::string> found;
    };
    static const int kMaxSearchDepth = 64;
    void SearchFolder(const std::string& directory, const std::string& fileName, int depth,
                      std::set<plat::FolderId>& visited, std::vector<std::string>& found);

    plat::CReadBatch m_batch;
    std::vector<FolderSearch> m_searches;
    std::map<std::string, std::unique_ptr<CShared>> m_shared;
};
