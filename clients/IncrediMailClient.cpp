// CIncrediMailClient: detection through IncrediMail's registered component, and its accounts of all
// identities.
#include "clients/IncrediMailClient.h"

#include "Files.h"
#include "RegKey.h"
#include "Registry.h"

#include <exception>

namespace {

const char kComponentKey[] = "Software\\Classes\\IncrediMail.Kernel\\CLSID";
const DWORD kClassIdLimit = 200;
const DWORD kPathLimit = 260;
const DWORD kSubkeyNameSize = 1024;
const REGSAM kEnumerateAccess = KEY_QUERY_VALUE | KEY_ENUMERATE_SUB_KEYS;
const int kDefaultPort = 110;

// Names of the subkeys of root\path in enumeration order; names that cannot be read are skipped.
BOOL ListSubkeys(const std::string& path, std::vector<std::string>& names)
{
    plat::CRegKey key;
    DWORD count = 0;
    if (key.Open(HKEY_CURRENT_USER, path.c_str(), kEnumerateAccess) != ERROR_SUCCESS ||
        plat::RegCountSubkeys(key.Get(), &count, nullptr) != ERROR_SUCCESS)
        return FALSE;
    std::vector<char> name(kSubkeyNameSize);
    for (DWORD i = 0; i < count; ++i) {
        DWORD length = kSubkeyNameSize;
        if (plat::RegSubkeyName(key.Get(), i, name.data(), &length) == ERROR_SUCCESS)
            names.push_back(std::string(name.data(), length));
    }
    return TRUE;
}

// One value as it stood before a write, to put it back when a later write fails.
struct SavedValue
{
    const char* name = nullptr;
    BOOL present = FALSE;
    DWORD type = REG_NONE;
    DWORD size = 0;
    std::vector<unsigned char> data;
};

BOOL SaveValue(HKEY key, const char* name, SavedValue& saved)
{
    saved.name = name;
    DWORD type = REG_NONE;
    DWORD size = 0;
    LONG result = plat::RegQuery(key, name, &type, nullptr, &size);
    if (result == ERROR_FILE_NOT_FOUND) {
        saved.present = FALSE;
        return TRUE;
    }
    if (result != ERROR_SUCCESS)
        return FALSE;
    saved.data.assign(static_cast<size_t>(size) + 1, 0);
    result = plat::RegQuery(key, name, &type, saved.data.data(), &size);
    if (result != ERROR_SUCCESS)
        return FALSE;
    saved.present = TRUE;
    saved.type = type;
    saved.size = size;
    return TRUE;
}

void RestoreValue(HKEY key, const SavedValue& saved)
{
    if (saved.present)
        plat::RegWrite(key, saved.name, saved.type, saved.data.data(), saved.size);
    else
        plat::RegRemoveValue(key, saved.name);
}

} // namespace

CIncrediMailClient::CIncrediMailClient() : m_identitiesKeyPath(INCREDIMAIL_IDENTITIES_KEY)
{
    m_displayName = "IncrediMail";
    m_exeName = "IncMail.exe";
}

CIncrediMailClient::~CIncrediMailClient() = default;

BOOL CIncrediMailClient::DetectClient()
{
    try {
        plat::CRegKey key;
        std::string classId;
        if (key.Open(HKEY_LOCAL_MACHINE, kComponentKey, KEY_READ) != ERROR_SUCCESS ||
            key.QueryString(nullptr, classId, kClassIdLimit, nullptr, TRUE) != ERROR_SUCCESS)
            return FALSE;
        key.Close();
        const std::string serverKey = "CLSID\\" + classId + "\\InprocServer32";
        std::string library;
        if (key.Open(HKEY_CLASSES_ROOT, serverKey.c_str(), KEY_READ) != ERROR_SUCCESS ||
            key.QueryString(nullptr, library, kPathLimit, nullptr, TRUE) != ERROR_SUCCESS)
            return FALSE;
        m_exePath = library;
        return plat::PathExists(m_exePath.c_str());
    } catch (const std::exception&) {
        return FALSE;
    }
}

void CIncrediMailClient::ResetLoad()
{
    m_accountKeyLists.clear();
    m_identityKeys.clear();
    m_accountPairs.clear();
    m_accountsKey.Close();
    m_openIdentity = -1;
    CMailClient::ResetLoad();
}

int CIncrediMailClient::EnumerateAccounts()
{
    try {
        m_identityKeys.clear();
        m_accountKeyLists.clear();
        m_accountPairs.clear();
        m_accountsKey.Close();
        m_openIdentity = -1;
        if (!ListSubkeys(m_identitiesKeyPath, m_identityKeys))
            return 0;
        m_accountKeyLists.resize(m_identityKeys.size());
        for (size_t i = 0; i < m_identityKeys.size(); ++i) {
            // An identity without an "Accounts" key contributes nothing and shifts no other identity.
            ListSubkeys(m_identitiesKeyPath + "\\" + m_identityKeys[i] + "\\Accounts", m_accountKeyLists[i]);
            for (size_t j = 0; j < m_accountKeyLists[i].size(); ++j)
                m_accountPairs.push_back(std::make_pair(static_cast<int>(i), static_cast<int>(j)));
        }
        return static_cast<int>(m_accountPairs.size());
    } catch (const std::exception&) {
        m_accountKeyLists.clear();
        m_accountPairs.clear();
        return 0;
    }
}

std::string CIncrediMailClient::AccountKeyPath(int index) const
{
    if (index < 0 || static_cast<size_t>(index) >= m_accountPairs.size())
        return std::string();
    const std::pair<int, int>& pair = m_accountPairs[index];
    return m_identitiesKeyPath + "\\" + m_identityKeys[pair.first] + "\\Accounts\\" +
           m_accountKeyLists[pair.first][pair.second];
}

BOOL CIncrediMailClient::ReadAccount(int index)
{
    if (!IsValidIndex(index))
        return FALSE;
    AccountInfo& account = Account(index);
    try {
        plat::CRegKey key;
        if (static_cast<size_t>(index) >= m_accountPairs.size()) {
            account.reason = REASON_REGISTRY;
            return FALSE;
        }
        const std::pair<int, int>& pair = m_accountPairs[static_cast<size_t>(index)];
        const std::string& identity = m_identityKeys[static_cast<size_t>(pair.first)];
        const std::string& subkey =
            m_accountKeyLists[static_cast<size_t>(pair.first)][static_cast<size_t>(pair.second)];
        // Accounts are read identity by identity: each identity's "Accounts" key is opened once rather than
        // walked to from the root for every account.
        if (pair.first != m_openIdentity) {
            m_accountsKey.Close();
            m_openIdentity = pair.first;
            const std::string accountsPath = m_identitiesKeyPath + "\\" + identity + "\\Accounts";
            m_accountsKey.Open(HKEY_CURRENT_USER, accountsPath.c_str(), KEY_READ);
        }
        const LONG opened = m_accountsKey.IsOpen()
                                ? key.Open(m_accountsKey.Get(), subkey.c_str(), KEY_READ)
                                : key.Open(HKEY_CURRENT_USER, AccountKeyPath(index).c_str(), KEY_READ);
        if (opened != ERROR_SUCCESS) {
            account.reason = REASON_REGISTRY;
            return FALSE;
        }
        int port = kDefaultPort;
        PopSettings& current = account.current;
        if (!ReadRegString(key.Get(), "AccountName", account.name, index) ||
            !ReadRegString(key.Get(), "EmailAddress", account.email, index) ||
            !ReadRegString(key.Get(), "PopAccount", account.current.userName, index) ||
            !ReadRegString(key.Get(), "PopServer", account.current.server, index) ||
            !ReadOptionalDword(key.Get(), "PopPort", port, kDefaultPort, index) ||
            !ReadOptionalDword(key.Get(), "PopLogSecure", current.spaFlag, 0, index, &current.spaFlagPresent))
            return FALSE;
        current.port = port;
        current.authMode = current.spaFlag != 0 ? AUTH_SPA : AUTH_NORMAL;
        return TRUE;
    } catch (const std::exception&) {
        account.reason = REASON_REGISTRY;
        return FALSE;
    }
}

LONG CIncrediMailClient::SetValue(HKEY key, const char* name, DWORD type, const void* data, DWORD size)
{
    return plat::RegWrite(key, name, type, data, size);
}

BOOL CIncrediMailClient::WriteValues(HKEY key, const PopSettings& settings, const PopSettings& original,
                                     BOOL restoring)
{
    const DWORD port = static_cast<DWORD>(settings.port);
    // The proxy speaks SPA for the client, so configuring turns the flag off; one that is already off is left
    // as it is. Giving back writes the flag as it was stored, and removes one that was not there.
    const DWORD secure = restoring ? static_cast<DWORD>(original.spaFlag) : 0;
    const BOOL writesSecure = restoring ? original.spaFlagPresent : original.authMode == AUTH_SPA;
    auto removesSecure = [&]() {
        const LONG rc =
            restoring && !original.spaFlagPresent ? plat::RegRemoveValue(key, "PopLogSecure") : ERROR_SUCCESS;
        return rc == ERROR_SUCCESS || rc == ERROR_FILE_NOT_FOUND;
    };
    // Texts the adapter could not read back are not written (the user name first, so nothing is).
    auto userName = [&]() {
        return FitsRegString(settings.userName) && FitsRegString(settings.server) &&
               SetValue(key, "PopAccount", REG_SZ, settings.userName.c_str(),
                        static_cast<DWORD>(settings.userName.size() + 1)) == ERROR_SUCCESS;
    };
    auto rest = [&]() {
        return SetValue(key, "PopServer", REG_SZ, settings.server.c_str(),
                        static_cast<DWORD>(settings.server.size() + 1)) == ERROR_SUCCESS &&
               SetValue(key, "PopPort", REG_DWORD, &port, sizeof(port)) == ERROR_SUCCESS &&
               (!writesSecure ||
                SetValue(key, "PopLogSecure", REG_DWORD, &secure, sizeof(secure)) == ERROR_SUCCESS) &&
               removesSecure();
    };
    // The proxy user name carries every real setting: it comes first when configuring and goes last when
    // restoring, so that a process stopped half way leaves the real settings readable.
    return restoring ? rest() && userName() : userName() && rest();
}

BOOL CIncrediMailClient::WriteAccount(int index, EWriteSource source)
{
    if (!IsValidIndex(index))
        return FALSE;
    try {
        const AccountInfo& account = Account(index);
        const PopSettings& settings = source == WRITE_ORIGINAL ? account.original : account.current;
        plat::CRegKey key;
        const std::string path = AccountKeyPath(index);
        if (path.empty() || key.Open(HKEY_CURRENT_USER, path.c_str(), KEY_READ | KEY_WRITE) != ERROR_SUCCESS)
            return FALSE;
        // A write that fails half way puts back what was there: an account with the proxy's user name but
        // the real server would fetch nothing and look doubtful.
        static const char* const kWritten[] = {"PopAccount", "PopServer", "PopPort", "PopLogSecure"};
        SavedValue saved[4];
        for (int i = 0; i < 4; ++i) {
            if (!SaveValue(key.Get(), kWritten[i], saved[i]))
                return FALSE;
        }
        if (WriteValues(key.Get(), settings, account.original, source == WRITE_ORIGINAL))
            return TRUE;
        for (const SavedValue& value : saved)
            RestoreValue(key.Get(), value);
        return FALSE;
    } catch (const std::exception&) {
        return FALSE;
    }
}

BOOL CIncrediMailClient::LocateAccount(int index, std::string& store, std::string& identity) const
{
    if (index < 0 || static_cast<size_t>(index) >= m_accountPairs.size())
        return FALSE;
    const std::pair<int, int>& pair = m_accountPairs[static_cast<size_t>(index)];
    store = "HKEY_CURRENT_USER\\" + m_identitiesKeyPath + "\\" + m_identityKeys[pair.first] + "\\Accounts";
    identity = m_accountKeyLists[pair.first][pair.second];
    return TRUE;
}
