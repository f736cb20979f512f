// CWindowsMailClient: Windows Live Mail and Windows Mail accounts, one "*.oeaccount" file each.
#include "clients/WindowsMailClient.h"

#include "clients/AppPath.h"
#include "clients/StoreFileWrite.h"
#include "Environment.h"
#include "Files.h"
#include "Registry.h"
#include "RegKey.h"

#include <cstdlib>

const WindowsMailKind kWindowsLiveMail = {"Windows Live Mail", "Software\\Microsoft\\Windows Live Mail",
                                          "Microsoft\\Windows Live Mail", "wlmail.exe"};
const WindowsMailKind kWindowsMail = {"Windows Mail", "Software\\Microsoft\\Windows Mail",
                                      "Microsoft\\Windows Mail", "winmail.exe"};

namespace {

const char kAccountName[] = "Account_Name";
const char kEmailAddress[] = "SMTP_Email_Address";
const char kPopServer[] = "POP3_Server";
const char kPopUserName[] = "POP3_User_Name";
const char kPopPort[] = "POP3_Port";
const char kSecureConnection[] = "POP3_Secure_Connection";
const char kUseSicily[] = "POP3_Use_Sicily";
const char kImapServer[] = "IMAP_Server";

const DWORD kDefaultPort = 110;
const DWORD kStoreRootLimit = 4096;
// The list rows carry an account's index in 16 bits.
const size_t kMaxAccounts = 0xFFFF;

std::string HexDword(DWORD value)
{
    static const char kDigits[] = "0123456789abcdef";
    std::string text(8, '0');
    for (int i = 7; i >= 0; --i, value >>= 4)
        text[static_cast<size_t>(i)] = kDigits[value & 0xF];
    return text;
}

} // namespace

CWindowsMailClient::CWindowsMailClient(const WindowsMailKind& kind) : m_kind(kind)
{
    m_displayName = kind.displayName;
    m_exeName = kind.exeName;
}

void CWindowsMailClient::ResetLoad()
{
    m_storeFolder.clear();
    m_files.clear();
    CMailClient::ResetLoad();
}

BOOL CWindowsMailClient::ReadStoreRoot(std::string& folder) const
{
    plat::CRegKey key;
    if (key.Open(HKEY_CURRENT_USER, m_kind.registryKey, KEY_READ) != ERROR_SUCCESS)
        return FALSE;
    std::string root;
    DWORD type = 0;
    if (key.QueryString("Store Root", root, kStoreRootLimit, &type, TRUE) == ERROR_SUCCESS &&
        (type == REG_SZ || type == REG_EXPAND_SZ) && !root.empty()) {
        // The client writes it as REG_EXPAND_SZ ("%USERPROFILE%\..."), but expands a REG_SZ as well.
        if (!plat::ExpandEnvironment(root.c_str(), folder))
            return FALSE;
    } else {
        std::string local;
        if (!plat::LocalAppDataFolder(local))
            return FALSE;
        folder = local + "\\" + m_kind.folderName;
    }
    while (folder.size() > 3 && (folder.back() == '\\' || folder.back() == '/'))
        folder.pop_back();
    return TRUE;
}

BOOL CWindowsMailClient::DetectClient()
{
    if (!ReadStoreRoot(m_storeFolder))
        return FALSE;
    // Only for the icon: the client is installed by its per-user key, and its program may have been
    // registered in either view or not at all.
    FindAppPath(m_kind.exeName, m_exePath);
    return TRUE;
}

int CWindowsMailClient::EnumerateAccounts()
{
    // Files that are no mail account (news, directory services, the client's own) are not shown at all;
    // files that cannot be read are, refused, since they may be one.
    for (const std::string& path : LoadContext().FindFiles(m_storeFolder, "*.oeaccount")) {
        if (m_files.size() >= kMaxAccounts)
            break;
        AccountFile entry;
        entry.path = path;
        std::string bytes;
        entry.readable = plat::ReadWholeFile(path.c_str(), bytes) && entry.file.Parse(bytes);
        if (entry.readable && !entry.file.HasSetting(kPopServer) && !entry.file.HasSetting(kImapServer))
            continue;
        m_files.push_back(std::move(entry));
    }
    return static_cast<int>(m_files.size());
}

BOOL CWindowsMailClient::ReadAccount(int index)
{
    if (!IsValidIndex(index) || static_cast<size_t>(index) >= m_files.size())
        return FALSE;
    AccountInfo& account = Account(index);
    const AccountFile& entry = m_files[static_cast<size_t>(index)];
    auto unreadable = [&]() -> BOOL {
        account.reason = REASON_CONFIG_UNREADABLE;
        // A file that tells no name is shown by its own, so that the user can find it.
        if (account.name.empty())
            account.name = entry.path.substr(entry.path.find_last_of('\\') + 1);
        return FALSE;
    };
    if (!entry.readable)
        return unreadable();
    const COeAccountFile& file = entry.file;
    file.GetText(kAccountName, account.name);
    file.GetText(kEmailAddress, account.email);
    if (!file.HasSetting(kPopServer)) {
        account.protocol = PROTOCOL_IMAP;
        account.reason = REASON_IMAP;
        return FALSE;
    }
    account.protocol = PROTOCOL_POP3;
    PopSettings& current = account.current;
    if (!file.GetText(kPopServer, current.server) || !file.GetText(kPopUserName, current.userName))
        return unreadable();
    // Absent numbers take the client's defaults; present ones of another type are a damaged file.
    DWORD port = kDefaultPort;
    if (file.HasSetting(kPopPort) && !file.GetDword(kPopPort, port))
        return unreadable();
    current.port = static_cast<int>(port);
    DWORD sicily = 0;
    current.spaFlagPresent = file.HasSetting(kUseSicily);
    if (current.spaFlagPresent && !file.GetDword(kUseSicily, sicily))
        return unreadable();
    current.spaFlag = static_cast<int>(sicily);
    current.authMode = sicily != 0 ? AUTH_SPA : AUTH_NORMAL;
    DWORD secure = 0;
    const BOOL securePresent = file.HasSetting(kSecureConnection);
    if (securePresent && !file.GetDword(kSecureConnection, secure))
        return unreadable();
    current.secure = secure != 0 ? PROXY_SECURE_SSL : PROXY_SECURE_NONE;
    current.secureStored = securePresent ? HexDword(secure) : std::string();
    return TRUE;
}

BOOL CWindowsMailClient::EditAccount(int index, EWriteSource source, COeAccountFile& file)
{
    AccountFile& entry = m_files[static_cast<size_t>(index)];
    const AccountInfo& account = Account(index);
    const PopSettings& original = account.original;
    const PopSettings& settings = source == WRITE_ORIGINAL ? original : account.current;
    if (!file.SetText(kPopServer, settings.server) || !file.SetText(kPopUserName, settings.userName))
        return FALSE;

    // An absent port is the default one: it stays absent while the port is the default, and a port that
    // configuring added goes again when the account is given back.
    const DWORD port = static_cast<DWORD>(settings.port);
    const BOOL portPresent = file.HasSetting(kPopPort);
    if (port == kDefaultPort && (!portPresent || (source == WRITE_ORIGINAL && entry.portAdded))) {
        if (!file.RemoveSetting(kPopPort))
            return FALSE;
    } else {
        if (source == WRITE_CURRENT && !portPresent)
            entry.portAdded = TRUE;
        if (!file.SetDword(kPopPort, port))
            return FALSE;
    }

    // The proxy speaks SPA to the server, so configuring turns the flag off in its place (a file keeps its
    // order); giving back writes it as stored, or 1, the client's own, when only the proxy user name told of
    // it. A flag that was off or absent is left as it is.
    if (original.authMode == AUTH_SPA) {
        DWORD sicily = 0;
        if (source == WRITE_ORIGINAL)
            sicily =
                original.spaFlagPresent && original.spaFlag != 0 ? static_cast<DWORD>(original.spaFlag) : 1;
        if (!file.SetDword(kUseSicily, sicily))
            return FALSE;
    }

    // The hop to the proxy is plain; giving back restores the value stored (1, the client's own, when only
    // the proxy user name told of it). An account without the setting never gets one.
    if (original.secure != PROXY_SECURE_NONE) {
        DWORD secure = 0;
        if (source == WRITE_ORIGINAL)
            secure = original.secureStored.empty()
                         ? 1
                         : static_cast<DWORD>(std::strtoul(original.secureStored.c_str(), nullptr, 16));
        if (!file.SetDword(kSecureConnection, secure))
            return FALSE;
    }
    return TRUE;
}

BOOL CWindowsMailClient::WriteAccount(int index, EWriteSource source)
{
    if (!IsValidIndex(index) || static_cast<size_t>(index) >= m_files.size())
        return FALSE;
    AccountFile& entry = m_files[static_cast<size_t>(index)];
    // Read again: the client may have rewritten the file since the load, and its other settings must stay.
    std::string bytes;
    COeAccountFile file;
    if (!plat::ReadWholeFile(entry.path.c_str(), bytes) || !file.Parse(bytes))
        return FALSE;
    const BOOL portAdded = entry.portAdded;
    if (!EditAccount(index, source, file) || !ReplaceStoreFile(entry.path, file.Serialize())) {
        entry.portAdded = portAdded;
        return FALSE;
    }
    if (source == WRITE_ORIGINAL)
        entry.portAdded = FALSE;
    entry.file = file;
    return TRUE;
}

BOOL CWindowsMailClient::LocateAccount(int index, std::string& store, std::string& identity) const
{
    if (index < 0 || static_cast<size_t>(index) >= m_files.size())
        return FALSE;
    store = m_files[static_cast<size_t>(index)].path;
    size_t slash = store.find_last_of("\\/");
    identity = slash == std::string::npos ? store : store.substr(slash + 1);
    return TRUE;
}
