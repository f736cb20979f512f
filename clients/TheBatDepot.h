// CTheBatDepot: The Bat!'s list of accounts from its "Users Depot" registry key, with each account's
// "account.cfg" read once and rewritten safely when the account changes.
#pragma once

#include "clients/TheBatAccountFile.h"
#include "PlatTypes.h"

#include <string>
#include <vector>

namespace plat {
class CRegKey;
}

#define THEBAT_KEY "Software\\RIT\\The Bat!"
#define THEBAT_DEPOT_KEY "Software\\RIT\\The Bat!\\Users Depot"
#define THEBAT_ACCOUNT_FILE "account.cfg"

// One account of the depot.
struct TheBatAccountEntry
{
    BOOL loaded = FALSE; // its file was read whole and may be written back
    int reason = 0;      // why it is not loaded: REASON_REGISTRY or REASON_CONFIG_UNREADABLE
    std::string dir;
    std::string accountName;
    CTheBatAccountFile file;
    std::string fileBytes; // the file as it was read or last written, to notice changes made since
};

class CTheBatDepot
{
public:
    // The most accounts a depot may list: the account lists address an account with 16 bits.
    static const DWORD kMaxEntryCount = 0xFFFF;
    // The registry readers' buffer; a longer value is refused, never cut.
    static const DWORD kValueLimit = 4096;

    CTheBatDepot() = default;
    virtual ~CTheBatDepot() = default;
    CTheBatDepot(const CTheBatDepot&) = delete;
    CTheBatDepot& operator=(const CTheBatDepot&) = delete;

    // Reads "Working Directory", the "Count" of "Users Depot" and each "User #i" and "Dir #i", then every
    // account's file. FALSE when the key, the working directory or a usable count cannot be read; a single
    // account that cannot be read stays in the list, not loaded, with its reason.
    BOOL LoadDepot();
    // Reads and parses dir + "\account.cfg" of one entry; sets its loaded flag.
    BOOL LoadAccountFile(int entry);
    // Writes edited in place of the entry's file in one step, but only while the file still holds exactly
    // what was read: a file that The Bat! changed since is never overwritten. On success the entry takes
    // edited; on failure the file and the entry stay as they were.
    BOOL SaveAccountFile(int entry, const CTheBatAccountFile& edited);

    int EntryCount() const { return m_entryCount; }
    const TheBatAccountEntry* Entry(int entry) const;
    const std::string& WorkingDir() const { return m_workingDir; }
    // The path of an entry's account file.
    static std::string AccountFilePath(const std::string& dir);

private:
    void ReadEntryNames(const plat::CRegKey& depot);

    std::vector<TheBatAccountEntry> m_entries;
    int m_entryCount = 0;
    std::string m_workingDir;
};
