// COutlookExpressClient: Outlook Express accounts, one numbered registry subkey per account.
#include "clients/OutlookExpressClient.h"

#include "clients/RegValueBackup.h"
#include "core/TextUtil.h"
#include "Environment.h"
#include "Files.h"
#include "RegKey.h"

#include <cstdlib>
#include <string>

namespace {

const char kAccountName[] = "Account Name";
const char kEmailAddress[] = "SMTP Email Address";
const char kImapUserName[] = "IMAP User Name";
const char kPopUserName[] = "POP3 User Name";
const char kPopServer[] = "POP3 Server";
const char kPopPort[] = "POP3 Port";
const char kUseSicily[] = "POP3 Use Sicily";
const char kSecureConnection[] = "POP3 Secure Connection";

} // namespace

COutlookExpressClient::COutlookExpressClient()
{
    m_displayName = "Outlook Express";
    m_exeName = "msimn.exe";
    m_accountsKeyPath = "Software\\Microsoft\\Internet Account Manager\\Accounts";
}

BOOL COutlookExpressClient::DetectClient()
{
    plat::CRegKey key;
    if (key.Open(HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Outlook Express", KEY_READ) != ERROR_SUCCESS)
        return FALSE;
    std::string folder;
    DWORD type = REG_NONE;
    if (key.QueryString("InstallRoot", folder, MAX_PATH, &type, TRUE) != ERROR_SUCCESS)
        return FALSE;
    key.Close();
    if (type == REG_EXPAND_SZ) {
        std::string expanded;
        if (!plat::ExpandEnvironment(folder.c_str(), expanded, 4096))
            return FALSE;
        folder = expanded;
    }
    m_exePath = folder + "\\" + m_exeName;
    return plat::PathExists(m_exePath.c_str());
}

void COutlookExpressClient::ResetLoad()
{
    m_accountKeys.clear();
    m_accountsKey.Close();
    CMailClient::ResetLoad();
}

int COutlookExpressClient::EnumerateAccounts()
{
    plat::CRegKey& key = m_accountsKey;
    key.Close();
    if (key.Open(HKEY_CURRENT_USER, m_accountsKeyPath.c_str(), KEY_QUERY_VALUE | KEY_ENUMERATE_SUB_KEYS) !=
        ERROR_SUCCESS)
        return 0;
    DWORD subkeys = 0;
    if (plat::RegCountSubkeys(key.Get(), &subkeys, nullptr) != ERROR_SUCCESS)
        return 0;
    for (DWORD i = 0; i < subkeys; ++i) {
        char name[1024];
        DWORD length = sizeof(name);
        if (plat::RegSubkeyName(key.Get(), i, name, &length) != ERROR_SUCCESS)
            continue;
        // Accounts are numbered subkeys; others (such as settings) sit beside them.
        if (IsAllDigits(std::string(name, length)))
            m_accountKeys.push_back(std::string(name, length));
    }
    return static_cast<int>(m_accountKeys.size());
}

std::string COutlookExpressClient::AccountKeyPath(int index) const
{
    return m_accountsKeyPath + "\\" + m_accountKeys[static_cast<size_t>(index)];
}

BOOL COutlookExpressClient::ReadAccount(int index)
{
    if (!IsValidIndex(index) || static_cast<size_t>(index) >= m_accountKeys.size())
        return FALSE;
    AccountInfo& account = Account(index);
    plat::CRegKey key;
    const LONG opened =
        m_accountsKey.IsOpen()
            ? key.Open(m_accountsKey.Get(), m_accountKeys[static_cast<size_t>(index)].c_str(), KEY_READ)
            : key.Open(HKEY_CURRENT_USER, AccountKeyPath(index).c_str(), KEY_READ);
    if (opened != ERROR_SUCCESS) {
        account.reason = REASON_REGISTRY;
        return FALSE;
    }
    HKEY k = key.Get();
    if (!ReadRegString(k, kAccountName, account.name, index) ||
        !ReadRegString(k, kEmailAddress, account.email, index))
        return FALSE;
    if (ReadRegString(k, kImapUserName, account.current.userName, index)) {
        account.protocol = PROTOCOL_IMAP;
        account.reason = REASON_IMAP;
        return FALSE;
    }
    if (!ReadRegString(k, kPopUserName, account.current.userName, index) ||
        !ReadRegString(k, kPopServer, account.current.server, index))
        return FALSE;
    PopSettings& current = account.current;
    if (!ReadOptionalDword(k, kPopPort, current.port, 110, index) ||
        !ReadOptionalDword(k, kUseSicily, current.spaFlag, 0, index, &current.spaFlagPresent))
        return FALSE;
    // The client writes 0 when SPA is off.
    current.authMode = current.spaFlag != 0 ? AUTH_SPA : AUTH_NORMAL;
    int secure = 0;
    BOOL securePresent = FALSE;
    if (!ReadOptionalDword(k, kSecureConnection, secure, 0, index, &securePresent))
        return FALSE;
    current.secure = secure != 0 ? PROXY_SECURE_SSL : PROXY_SECURE_NONE;
    current.secureStored = securePresent ? std::to_string(static_cast<DWORD>(secure)) : std::string();
    return TRUE;
}

BOOL COutlookExpressClient::WriteAccount(int index, EWriteSource source)
{
    if (!IsValidIndex(index) || static_cast<size_t>(index) >= m_accountKeys.size())
        return FALSE;
    const PopSettings& settings = source == WRITE_ORIGINAL ? Account(index).original : Account(index).current;
    plat::CRegKey key;
    if (key.Open(HKEY_CURRENT_USER, AccountKeyPath(index).c_str(), KEY_READ | KEY_WRITE) != ERROR_SUCCESS)
        return FALSE;
    HKEY k = key.Get();
    // A write that fails half way puts back what was there: the account is never left half configured.
    CRegValueBackup backup;
    if (!backup.Save(k, {kPopUserName, kPopServer, kPopPort, kUseSicily, kSecureConnection}))
        return FALSE;

    // The proxy speaks SPA for the client, so configuring turns the flag off; one that is already off is left
    // as it is. Giving back writes the flag as it was stored.
    const PopSettings& original = Account(index).original;
    auto writeSicily = [&]() -> BOOL {
        if (source == WRITE_ORIGINAL ? !original.spaFlagPresent : original.authMode == AUTH_SPA) {
            LONG rc = plat::RegRemoveValue(k, kUseSicily);
            return rc == ERROR_SUCCESS || rc == ERROR_FILE_NOT_FOUND;
        }
        if (source == WRITE_ORIGINAL)
            return WriteRegDword(k, kUseSicily, static_cast<DWORD>(original.spaFlag));
        return TRUE;
    };
    // The hop to the proxy is plain, so configuring turns SSL off; giving back turns it on again with the
    // value the client had stored (1, the client's own, when only the proxy user name told of it).
    auto writeSecure = [&]() -> BOOL {
        if (original.secure == PROXY_SECURE_NONE)
            return TRUE;
        if (source == WRITE_CURRENT)
            return WriteRegDword(k, kSecureConnection, 0);
        const DWORD stored =
            original.secureStored.empty()
                ? 1
                : static_cast<DWORD>(std::strtoul(original.secureStored.c_str(), nullptr, 10));
        return WriteRegDword(k, kSecureConnection, stored);
    };
    // The proxy user name carries every real setting, so it must be the last thing to go when restoring and
    // the first thing to come when configuring: a process stopped half way then loses nothing.
    BOOL written;
    if (source == WRITE_ORIGINAL) {
        written = writeSecure() && writeSicily() &&
                  WriteRegDword(k, kPopPort, static_cast<DWORD>(settings.port)) &&
                  WriteRegString(k, kPopServer, settings.server) &&
                  WriteRegString(k, kPopUserName, settings.userName);
    } else {
        written = WriteRegString(k, kPopUserName, settings.userName) &&
                  WriteRegString(k, kPopServer, settings.server) &&
                  WriteRegDword(k, kPopPort, static_cast<DWORD>(settings.port)) && writeSicily() &&
                  writeSecure();
    }
    if (!written)
        backup.Restore();
    return written;
}

BOOL COutlookExpressClient::LocateAccount(int index, std::string& store, std::string& identity) const
{
    if (index < 0 || static_cast<size_t>(index) >= m_accountKeys.size())
        return FALSE;
    store = "HKEY_CURRENT_USER\\" + m_accountsKeyPath;
    identity = m_accountKeys[static_cast<size_t>(index)];
    return TRUE;
}
