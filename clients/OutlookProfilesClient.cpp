// COutlookProfilesClient: the POP3 accounts of Outlook 2007 to 365, kept per mail profile in the registry.
#include "clients/OutlookProfilesClient.h"

#include "clients/AppPath.h"
#include "clients/RegValueBackup.h"
#include "clients/Utf16Value.h"
#include "RegKey.h"

#include <cctype>
#include <cstdlib>
#include <string>

namespace {

// 2007 and 2010, 2013, then 2016 to 365.
const char* const kProfileRoots[] = {
    "Software\\Microsoft\\Windows NT\\CurrentVersion\\Windows Messaging Subsystem\\Profiles",
    "Software\\Microsoft\\Office\\15.0\\Outlook\\Profiles",
    "Software\\Microsoft\\Office\\16.0\\Outlook\\Profiles"};
const char kAccountsKey[] = "9375CFF0413111d3B88A00104B2A6676";
const char kPopClsid[] = "{ED475411-B0D6-11D2-8C3B-00104B2A6676}";
const char kImapClsid[] = "{ED475412-B0D6-11D2-8C3B-00104B2A6676}";

const char kClsid[] = "clsid";
const char kAccountName[] = "Account Name";
const char kEmail[] = "Email";
const char kPopServer[] = "POP3 Server";
const char kPopUser[] = "POP3 User";
const char kPopPort[] = "POP3 Port";
const char kUseSpa[] = "POP3 Use SPA";
const char kUseSsl[] = "POP3 Use SSL";
const char kSecureConnection[] = "POP3 Secure Connection";

// "POP3 Secure Connection" numbers.
const DWORD kSecureStls = 1;
const DWORD kSecureSsl = 2;

BOOL IsAccountSubkeyName(const std::string& name)
{
    if (name.size() != 8)
        return FALSE;
    for (char c : name) {
        if (!std::isxdigit(static_cast<unsigned char>(c)))
            return FALSE;
    }
    return TRUE;
}

std::vector<std::string> SubkeyNames(HKEY key)
{
    std::vector<std::string> names;
    DWORD count = 0;
    if (plat::RegCountSubkeys(key, &count, nullptr) != ERROR_SUCCESS)
        return names;
    for (DWORD i = 0; i < count; ++i) {
        char name[1024];
        DWORD length = sizeof(name);
        if (plat::RegSubkeyName(key, i, name, &length) == ERROR_SUCCESS)
            names.push_back(std::string(name, length));
    }
    return names;
}

// secureStored holds both secure values as stored: "<Use SSL>|<Secure Connection>", each a decimal DWORD or
// "-" when absent, so that giving back restores presence as well as value.
std::string StoredPart(BOOL present, int value)
{
    return present ? std::to_string(static_cast<DWORD>(value)) : std::string("-");
}

BOOL ParseStoredPart(const std::string& part, BOOL& present, DWORD& value)
{
    present = part != "-";
    value = present ? static_cast<DWORD>(std::strtoul(part.c_str(), nullptr, 10)) : 0;
    return TRUE;
}

BOOL WriteOrRemoveDword(HKEY key, const char* name, BOOL present, DWORD value)
{
    if (present)
        return plat::RegWrite(key, name, REG_DWORD, &value, sizeof(value)) == ERROR_SUCCESS;
    const LONG rc = plat::RegRemoveValue(key, name);
    return rc == ERROR_SUCCESS || rc == ERROR_FILE_NOT_FOUND;
}

BOOL WriteText(HKEY key, const char* name, const std::string& text)
{
    std::string bytes;
    if (!EncodeUtf16Value(text, bytes))
        return FALSE;
    return plat::RegWrite(key, name, REG_BINARY, bytes.data(), static_cast<DWORD>(bytes.size())) ==
           ERROR_SUCCESS;
}

BOOL ValuePresent(HKEY key, const char* name)
{
    DWORD type = REG_NONE;
    DWORD size = 0;
    return plat::RegQuery(key, name, &type, nullptr, &size) == ERROR_SUCCESS;
}

} // namespace

COutlookProfilesClient::COutlookProfilesClient()
{
    m_displayName = "Outlook 2007 and later";
    m_exeName = "outlook.exe";
}

BOOL COutlookProfilesClient::DetectClient()
{
    // A 64-bit Office registers its program in the 64-bit view only.
    return FindAppPath("OUTLOOK.EXE", m_exePath);
}

void COutlookProfilesClient::ResetLoad()
{
    m_records.clear();
    m_profileCount = 0;
    CMailClient::ResetLoad();
}

void COutlookProfilesClient::AddProfileAccounts(const std::string& profilesPath, const std::string& profile)
{
    const std::string accountsPath = profilesPath + "\\" + profile + "\\" + kAccountsKey;
    plat::CRegKey accounts;
    if (accounts.Open(HKEY_CURRENT_USER, accountsPath.c_str(), KEY_READ) != ERROR_SUCCESS)
        return;
    ++m_profileCount;
    for (const std::string& name : SubkeyNames(accounts.Get())) {
        if (!IsAccountSubkeyName(name))
            continue;
        plat::CRegKey account;
        if (account.Open(accounts.Get(), name.c_str(), KEY_READ) != ERROR_SUCCESS)
            continue;
        std::string clsid;
        if (account.QueryString(kClsid, clsid, 256) != ERROR_SUCCESS)
            continue;
        // Exchange, data files and address books sit beside the mail accounts.
        const BOOL pop = clsid == kPopClsid;
        const BOOL imap = clsid == kImapClsid;
        if (!pop && !imap)
            continue;
        m_records.push_back(Record{accountsPath + "\\" + name, name, profile, imap});
    }
}

int COutlookProfilesClient::EnumerateAccounts()
{
    for (const char* root : kProfileRoots) {
        plat::CRegKey profiles;
        if (profiles.Open(HKEY_CURRENT_USER, root, KEY_READ) != ERROR_SUCCESS)
            continue;
        const std::vector<std::string> names = SubkeyNames(profiles.Get());
        profiles.Close();
        for (const std::string& profile : names)
            AddProfileAccounts(root, profile);
    }
    return static_cast<int>(m_records.size());
}

BOOL COutlookProfilesClient::ReadText(HKEY key, const char* valueName, std::string& text, int index)
{
    DWORD type = REG_NONE;
    DWORD size = 0;
    std::string bytes;
    LONG rc = plat::RegQuery(key, valueName, &type, nullptr, &size);
    if (rc == ERROR_SUCCESS && type == REG_BINARY) {
        bytes.resize(size);
        rc = plat::RegQuery(key, valueName, &type, size ? &bytes[0] : nullptr, &size);
        bytes.resize(size);
    }
    // A text that does not decode exactly could not be written back as it was.
    if (rc != ERROR_SUCCESS || type != REG_BINARY || !DecodeUtf16Value(bytes, text)) {
        Account(index).reason = REASON_REGISTRY;
        return FALSE;
    }
    return TRUE;
}

BOOL COutlookProfilesClient::ReadAccount(int index)
{
    if (!IsValidIndex(index) || static_cast<size_t>(index) >= m_records.size())
        return FALSE;
    const Record& record = m_records[static_cast<size_t>(index)];
    AccountInfo& account = Account(index);
    plat::CRegKey key;
    if (key.Open(HKEY_CURRENT_USER, record.keyPath.c_str(), KEY_READ) != ERROR_SUCCESS) {
        account.reason = REASON_REGISTRY;
        return FALSE;
    }
    HKEY k = key.Get();
    if (!ReadText(k, kAccountName, account.name, index))
        return FALSE;
    if (m_profileCount > 1)
        account.name += " (" + record.profile + ")";
    if (!ReadText(k, kEmail, account.email, index))
        return FALSE;
    if (record.imap) {
        account.protocol = PROTOCOL_IMAP;
        account.reason = REASON_IMAP;
        return FALSE;
    }
    PopSettings& current = account.current;
    if (!ReadText(k, kPopServer, current.server, index) || !ReadText(k, kPopUser, current.userName, index))
        return FALSE;
    if (!ReadOptionalDword(k, kPopPort, current.port, 110, index) ||
        !ReadOptionalDword(k, kUseSpa, current.spaFlag, 0, index, &current.spaFlagPresent))
        return FALSE;
    current.authMode = current.spaFlag != 0 ? AUTH_SPA : AUTH_NORMAL;
    int useSsl = 0;
    int secureConnection = 0;
    BOOL sslPresent = FALSE;
    BOOL secureConnectionPresent = FALSE;
    if (!ReadOptionalDword(k, kUseSsl, useSsl, 0, index, &sslPresent) ||
        !ReadOptionalDword(k, kSecureConnection, secureConnection, 0, index, &secureConnectionPresent))
        return FALSE;
    // A number the client does not write may still mean a secure connection: configuring it as plain could
    // leave the client speaking TLS to the proxy, so the account is left alone.
    if (secureConnectionPresent && secureConnection != 0 &&
        static_cast<DWORD>(secureConnection) != kSecureStls &&
        static_cast<DWORD>(secureConnection) != kSecureSsl) {
        account.reason = REASON_REGISTRY;
        return FALSE;
    }
    // The newer setting, when stored, wins over the older flag.
    if (secureConnectionPresent)
        current.secure = static_cast<DWORD>(secureConnection) == kSecureStls  ? PROXY_SECURE_STLS
                         : static_cast<DWORD>(secureConnection) == kSecureSsl ? PROXY_SECURE_SSL
                                                                              : PROXY_SECURE_NONE;
    else
        current.secure = useSsl != 0 ? PROXY_SECURE_SSL : PROXY_SECURE_NONE;
    current.secureStored =
        sslPresent || secureConnectionPresent
            ? StoredPart(sslPresent, useSsl) + "|" + StoredPart(secureConnectionPresent, secureConnection)
            : std::string();
    account.protocol = PROTOCOL_POP3;
    return TRUE;
}

BOOL COutlookProfilesClient::WriteAccount(int index, EWriteSource source)
{
    if (!IsValidIndex(index) || static_cast<size_t>(index) >= m_records.size())
        return FALSE;
    const PopSettings& original = Account(index).original;
    const PopSettings& settings = source == WRITE_ORIGINAL ? original : Account(index).current;
    plat::CRegKey key;
    if (key.Open(HKEY_CURRENT_USER, m_records[static_cast<size_t>(index)].keyPath.c_str(),
                 KEY_READ | KEY_WRITE) != ERROR_SUCCESS)
        return FALSE;
    HKEY k = key.Get();
    // A write that fails half way puts back what was there.
    CRegValueBackup backup;
    if (!backup.Save(k, {kPopUser, kPopServer, kPopPort, kUseSpa, kUseSsl, kSecureConnection}))
        return FALSE;

    // The proxy speaks SPA for the client: configuring removes the flag, giving back writes it as stored.
    auto writeSpa = [&]() -> BOOL {
        if (source == WRITE_ORIGINAL)
            return WriteOrRemoveDword(k, kUseSpa, original.spaFlagPresent,
                                      static_cast<DWORD>(original.spaFlag));
        if (original.authMode == AUTH_SPA)
            return WriteOrRemoveDword(k, kUseSpa, FALSE, 0);
        return TRUE;
    };
    // The hop to the proxy is plain: configuring turns off whichever secure value is there; giving back
    // writes both exactly as stored, or the client's usual value when only the proxy user name told of it.
    auto writeSecure = [&]() -> BOOL {
        if (original.secure == PROXY_SECURE_NONE)
            return TRUE;
        if (source == WRITE_CURRENT) {
            BOOL ok = TRUE;
            for (const char* name : {kUseSsl, kSecureConnection}) {
                if (ValuePresent(k, name))
                    ok = ok && WriteOrRemoveDword(k, name, TRUE, 0);
            }
            return ok;
        }
        const std::string& stored = original.secureStored;
        const size_t bar = stored.find('|');
        if (stored.empty() || bar == std::string::npos) {
            if (original.secure == PROXY_SECURE_STLS)
                return WriteOrRemoveDword(k, kSecureConnection, TRUE, kSecureStls);
            return WriteOrRemoveDword(k, kUseSsl, TRUE, 1) &&
                   (!ValuePresent(k, kSecureConnection) ||
                    WriteOrRemoveDword(k, kSecureConnection, TRUE, kSecureSsl));
        }
        BOOL sslPresent = FALSE;
        BOOL secureConnectionPresent = FALSE;
        DWORD useSsl = 0;
        DWORD secureConnection = 0;
        ParseStoredPart(stored.substr(0, bar), sslPresent, useSsl);
        ParseStoredPart(stored.substr(bar + 1), secureConnectionPresent, secureConnection);
        return WriteOrRemoveDword(k, kUseSsl, sslPresent, useSsl) &&
               WriteOrRemoveDword(k, kSecureConnection, secureConnectionPresent, secureConnection);
    };
    // The proxy user name carries every real setting: last to go when giving back, first to come when
    // configuring, so that a process stopped half way loses nothing.
    BOOL written;
    if (source == WRITE_ORIGINAL) {
        written = writeSecure() && writeSpa() &&
                  WriteRegDword(k, kPopPort, static_cast<DWORD>(settings.port)) &&
                  WriteText(k, kPopServer, settings.server) && WriteText(k, kPopUser, settings.userName);
    } else {
        written = WriteText(k, kPopUser, settings.userName) && WriteText(k, kPopServer, settings.server) &&
                  WriteRegDword(k, kPopPort, static_cast<DWORD>(settings.port)) && writeSpa() &&
                  writeSecure();
    }
    if (!written)
        backup.Restore();
    return written;
}

BOOL COutlookProfilesClient::LocateAccount(int index, std::string& store, std::string& identity) const
{
    if (index < 0 || static_cast<size_t>(index) >= m_records.size())
        return FALSE;
    const Record& record = m_records[static_cast<size_t>(index)];
    store = "HKEY_CURRENT_USER\\" + record.keyPath;
    identity = record.subkey;
    return TRUE;
}
