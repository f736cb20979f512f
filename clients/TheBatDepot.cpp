// CTheBatDepot: reading The Bat!'s account list from the registry and its account files from disk.
#include "clients/TheBatDepot.h"
#include "clients/StoreFileWrite.h"

#include "core/AccountInfo.h"
#include "Files.h"
#include "RegKey.h"

#include <string>

BOOL CTheBatDepot::LoadDepot()
{
    m_entries.clear();
    m_entryCount = 0;
    plat::CRegKey key;
    if (key.Open(HKEY_CURRENT_USER, THEBAT_KEY, KEY_READ) != ERROR_SUCCESS)
        return FALSE;
    if (key.QueryString("Working Directory", m_workingDir, kValueLimit, nullptr, TRUE) != ERROR_SUCCESS)
        return FALSE;
    plat::CRegKey depot;
    if (depot.Open(key.Get(), "Users Depot", KEY_READ) != ERROR_SUCCESS)
        return FALSE;
    // Any registry type is taken, but only as the four bytes of a number.
    DWORD count = 0;
    DWORD type = REG_NONE;
    DWORD size = sizeof(count);
    if (plat::RegQuery(depot.Get(), "Count", &type, &count, &size) != ERROR_SUCCESS || size != sizeof(count))
        return FALSE;
    if (count > kMaxEntryCount)
        return FALSE;
    m_entries.resize(count);
    m_entryCount = static_cast<int>(count);
    ReadEntryNames(depot);
    depot.Close();
    key.Close();
    for (int i = 0; i < m_entryCount; ++i) {
        if (m_entries[i].reason == REASON_NONE)
            LoadAccountFile(i);
    }
    return TRUE;
}

void CTheBatDepot::ReadEntryNames(const plat::CRegKey& depot)
{
    for (int i = 0; i < m_entryCount; ++i) {
        TheBatAccountEntry& entry = m_entries[i];
        const std::string number = std::to_string(i + 1);
        // Without its name the account has no folder of its own: never guess one, and never touch
        // "\account.cfg" at the root of a drive.
        if (depot.QueryString(("User #" + number).c_str(), entry.accountName, kValueLimit, nullptr, TRUE) !=
            ERROR_SUCCESS) {
            entry.accountName.clear();
            entry.reason = REASON_REGISTRY;
            continue;
        }
        std::string dir;
        const LONG result = depot.QueryString(("Dir #" + number).c_str(), dir, kValueLimit, nullptr, TRUE);
        if (result == ERROR_SUCCESS && !dir.empty()) {
            entry.dir = dir;
        } else if (result == ERROR_SUCCESS || result == ERROR_FILE_NOT_FOUND) {
            entry.dir = m_workingDir + entry.accountName;
        } else {
            // A folder too long or of another type would only lead to some other folder's file.
            entry.reason = REASON_REGISTRY;
        }
    }
}

std::string CTheBatDepot::AccountFilePath(const std::string& dir)
{
    return dir + "\\" THEBAT_ACCOUNT_FILE;
}

const TheBatAccountEntry* CTheBatDepot::Entry(int entry) const
{
    if (entry < 0 || entry >= m_entryCount)
        return nullptr;
    return &m_entries[entry];
}

BOOL CTheBatDepot::LoadAccountFile(int entry)
{
    if (entry < 0 || entry >= m_entryCount)
        return FALSE;
    TheBatAccountEntry& account = m_entries[entry];
    account.loaded = FALSE;
    account.reason = REASON_CONFIG_UNREADABLE;
    std::string bytes;
    if (!plat::ReadWholeFile(AccountFilePath(account.dir).c_str(), bytes))
        return FALSE;
    // A damaged file keeps the records before the damage, for the e-mail address, but is never written.
    if (!account.file.Parse(bytes))
        return FALSE;
    account.fileBytes.swap(bytes);
    account.loaded = TRUE;
    account.reason = REASON_NONE;
    return TRUE;
}

BOOL CTheBatDepot::SaveAccountFile(int entry, const CTheBatAccountFile& edited)
{
    if (entry < 0 || entry >= m_entryCount || !m_entries[entry].loaded)
        return FALSE;
    TheBatAccountEntry& account = m_entries[entry];
    const std::string path = AccountFilePath(account.dir);
    std::string onDisk;
    if (!plat::ReadWholeFile(path.c_str(), onDisk) || onDisk != account.fileBytes)
        return FALSE;
    std::string bytes = edited.Serialize();
    if (!ReplaceStoreFile(path, bytes))
        return FALSE;
    account.file = edited;
    account.fileBytes.swap(bytes);
    return TRUE;
}
