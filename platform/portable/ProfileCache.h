// CProfileCache: the parsed documents of the profile files read last, kept as Wine keeps them, so that
// reading many keys of one file reads and parses it once rather than once per key.
#pragma once

#include "ProfileDocument.h"

#include <ctime>
#include <list>
#include <memory>
#include <string>
#include <sys/types.h>
#include <unordered_map>

namespace plat {
namespace portable {

class CProfileCache
{
public:
    // The document of the file at nativePath as it is now; null when the file is missing or cannot be read.
    // A kept document is given again only while its file is the same one (device, inode), of the same size
    // and times. Outside a read batch the ten files used last are kept, as Wine keeps them; within one, every
    // file read, so that a load which reads each account's file twice reads it from disk once. A file changed
    // so shortly after it was read that its times might not show it is read again and compared byte for byte.
    std::shared_ptr<const CProfileDocument> Get(const std::string& nativePath);
    // Drops what is kept of a file that is being written.
    void Forget(const std::string& nativePath);

private:
    struct Entry
    {
        std::string path;
        dev_t device = 0;
        ino_t inode = 0;
        off_t size = 0;
        timespec modified = {};
        timespec changed = {};
        BOOL trusted = FALSE;     // its times are old enough that any change since would show in them
        unsigned long batch = 0;  // the read batch that last checked it, 0 for none
        unsigned long writes = 0; // the count of file writes when it was checked
        std::shared_ptr<const CProfileDocument> document;
    };

    // Moves the entry to the front, the most recently used.
    void Touch(std::list<Entry>::iterator entry);
    void Remove(std::list<Entry>::iterator entry);
    // Down to Wine's ten files, keeping every file of the running batch.
    void Trim(unsigned long batch);

    std::list<Entry> m_entries; // most recently used first
    std::unordered_map<std::string, std::list<Entry>::iterator> m_byPath;
};

} // namespace portable
} // namespace plat
