// CMozillaClient: Mozilla's POP3 accounts, read from and written to the "prefs.js" of each user profile.
#include "clients/MozillaClient.h"

#include "clients/MozillaPrefsShare.h"
#include "core/TextUtil.h"
#include "Environment.h"
#include "Files.h"
#include "RegKey.h"

#include <algorithm>
#include <exception>

namespace {

const char kAccountList[] = "mail.accountmanager.accounts";
const char kLocalFoldersServer[] = "mail.accountmanager.localfoldersserver";
const char kPathToExe[] = "PathToExe";
const int kDefaultPort = 110;
const int kDefaultSslPort = 995;
const char kSocketType[] = "socketType";
const char kIsSecure[] = "isSecure";
// socketType values: 1 is STARTTLS when the server offers it, which the proxy can only do as STARTTLS.
const int kSocketPlain = 0;
const int kSocketTryStartTls = 1;
const int kSocketStartTls = 2;
const int kSocketSsl = 3;
// The list rows carry an account's index in 16 bits; a longer account list is not a real one.
const size_t kMaxAccounts = 0xFFFF;

std::string TrimSpaces(const std::string& text)
{
    size_t first = text.find_first_not_of(' ');
    if (first == std::string::npos)
        return std::string();
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

// "<kind><name>.<setting>" made in key, whose room serves again for the next one: an account's settings are
// looked up by the thousand.
const std::string& SettingKey(std::string& key, const char* kind, const std::string& name,
                              const char* setting)
{
    key.assign(kind);
    key += name;
    key += '.';
    key += setting;
    return key;
}

std::string ServerKey(const MozillaAccountRef& ref, const char* setting)
{
    std::string key;
    return SettingKey(key, "mail.server.", ref.serverKey, setting);
}

// The port the client uses when the profile names none: TLS from the start has its own.
int DefaultPortFor(int secure)
{
    return secure == PROXY_SECURE_SSL ? kDefaultSslPort : kDefaultPort;
}

// The secure setting's line that gives secure back: the stored "name=value" when it is one of ours, else
// the client's usual socketType for the kind.
std::string SecureLine(const MozillaAccountRef& ref, const PopSettings& settings, std::string& name)
{
    const std::string& stored = settings.secureStored;
    size_t equals = stored.find('=');
    if (equals != std::string::npos) {
        name = stored.substr(0, equals);
        const std::string value = stored.substr(equals + 1);
        if (name == kIsSecure && (value == "true" || value == "false"))
            return prefs::FormatBooleanSetting(ServerKey(ref, kIsSecure), value == "true");
        if (name == kSocketType && value.size() == 1 && value[0] >= '0' && value[0] <= '3')
            return prefs::FormatIntegerSetting(ServerKey(ref, kSocketType), value[0] - '0');
    }
    // A profile that says isSecure may belong to a client that knows no socketType.
    if (ref.secureName == kIsSecure && settings.secure == PROXY_SECURE_SSL) {
        name = kIsSecure;
        return prefs::FormatBooleanSetting(ServerKey(ref, kIsSecure), TRUE);
    }
    name = kSocketType;
    return prefs::FormatIntegerSetting(ServerKey(ref, kSocketType),
                                       settings.secure == PROXY_SECURE_SSL ? kSocketSsl : kSocketStartTls);
}

} // namespace

CMozillaClient::CMozillaClient()
{
    m_displayName = "Mozilla";
    m_exeKeySuffix = "\\bin";
    m_registryKey = "Software\\Mozilla";
    m_excludedKeyWords.push_back("netscape");
}

CMozillaClient::~CMozillaClient() = default;

BOOL CMozillaClient::DetectClient()
{
    plat::CRegKey products;
    if (products.Open(HKEY_CURRENT_USER, m_registryKey.c_str(), KEY_READ) != ERROR_SUCCESS)
        return FALSE;
    std::string exePath;
    BOOL found = FALSE;
    for (DWORD index = 0; !found; ++index) {
        char name[4096];
        DWORD length = sizeof(name);
        if (plat::RegSubkeyName(products.Get(), index, name, &length) != ERROR_SUCCESS)
            break;
        std::string path = std::string(name, length) + m_exeKeySuffix;
        std::string lowerPath = ToLowerAscii(path);
        BOOL excluded = FALSE;
        for (const std::string& word : m_excludedKeyWords)
            excluded = excluded || lowerPath.find(word) != std::string::npos;
        if (excluded)
            continue;
        plat::CRegKey product;
        if (product.Open(products.Get(), path.c_str(), KEY_READ) != ERROR_SUCCESS)
            continue;
        // A path longer than the client's own buffer counts as unreadable, never as a cut path.
        found = product.QueryString(kPathToExe, exePath, MAX_PATH, nullptr, TRUE) == ERROR_SUCCESS;
    }
    size_t nul = exePath.find('\0');
    if (nul != std::string::npos)
        exePath.resize(nul);
    if (!found || exePath.empty())
        return FALSE;
    m_exePath = exePath;
    size_t slash = exePath.rfind('\\');
    m_exeName = slash == std::string::npos ? exePath : exePath.substr(slash + 1);
    return TRUE;
}

void CMozillaClient::ResetLoad()
{
    m_accountRefs.clear();
    m_prefsFiles.clear();
    m_staged.clear();
    CMailClient::ResetLoad();
}

int CMozillaClient::EnumerateAccounts()
{
    try {
        std::string folder;
        if (!plat::AppDataFolder(folder))
            return 0;
        if (folder.empty() || folder.back() != '\\')
            folder += '\\';
        FindFilesRecursive(folder + "Mozilla\\Profiles", "prefs.js");
        if (m_foundFiles.empty())
            return 0;
        m_prefsFiles.reserve(m_foundFiles.size());
        CMozillaPrefsShare& share = CMozillaPrefsShare::Of(LoadContext());
        for (const std::string& path : m_foundFiles)
            m_prefsFiles.push_back(share.Read(path));
        for (size_t k = 0; k < m_prefsFiles.size(); ++k)
            ParsePrefsFile(static_cast<int>(k));
        return static_cast<int>(m_accountRefs.size());
    } catch (const std::exception&) {
        // A profile too large to hold: no account is offered rather than some of them.
        m_accountRefs.clear();
        return 0;
    }
}

BOOL CMozillaClient::ReadStringSetting(const CMozillaPrefsFile& file, const std::string& key,
                                       std::string& value, int& line) const
{
    int found = file.FindSetting(key);
    if (found < 0 || !file.GetString(found, value))
        return FALSE;
    line = found;
    return TRUE;
}

void CMozillaClient::ParsePrefsFile(int fileIndex)
{
    const CMozillaPrefsFile& file = *m_prefsFiles[static_cast<size_t>(fileIndex)];
    std::string list;
    int line = -1;
    if (!ReadStringSetting(file, kAccountList, list, line))
        return;

    const size_t first = m_accountRefs.size();
    m_accountRefs.reserve(first +
                          std::min<size_t>(kMaxAccounts, 1 + std::count(list.begin(), list.end(), ',')));
    size_t start = 0;
    while (m_accountRefs.size() < kMaxAccounts) {
        size_t comma = list.find(',', start);
        MozillaAccountRef ref;
        ref.fileIndex = fileIndex;
        ref.accountKey = TrimSpaces(list.substr(start, comma == std::string::npos ? comma : comma - start));
        m_accountRefs.push_back(ref);
        if (comma == std::string::npos)
            break;
        start = comma + 1;
    }

    std::string key;
    for (size_t i = first; i < m_accountRefs.size(); ++i) {
        MozillaAccountRef& ref = m_accountRefs[i];
        ReadStringSetting(file, SettingKey(key, "mail.account.", ref.accountKey, "server"), ref.serverKey,
                          line);
        // Taken whole: an account with several identities names none that has an address.
        ReadStringSetting(file, SettingKey(key, "mail.account.", ref.accountKey, "identities"),
                          ref.identityKey, line);
    }

    std::string localFolders;
    if (!ReadStringSetting(file, kLocalFoldersServer, localFolders, line))
        return;
    for (size_t i = first; i < m_accountRefs.size(); ++i) {
        if (m_accountRefs[i].serverKey == localFolders) {
            m_accountRefs.erase(m_accountRefs.begin() + static_cast<std::ptrdiff_t>(i));
            break;
        }
    }
}

const MozillaAccountRef* CMozillaClient::AccountRef(int index) const
{
    if (index < 0 || static_cast<size_t>(index) >= m_accountRefs.size())
        return nullptr;
    return &m_accountRefs[static_cast<size_t>(index)];
}

BOOL CMozillaClient::ReadAccount(int index)
{
    if (!IsValidIndex(index) || static_cast<size_t>(index) >= m_accountRefs.size())
        return FALSE;
    AccountInfo& account = Account(index);
    MozillaAccountRef& ref = m_accountRefs[static_cast<size_t>(index)];
    const CMozillaPrefsFile& file = *m_prefsFiles[static_cast<size_t>(ref.fileIndex)];
    account.current.port = -1;

    auto incomplete = [&]() -> BOOL {
        account.reason = REASON_CONFIG_UNREADABLE;
        return FALSE;
    };
    std::string key;
    auto serverKey = [&](const char* setting) -> const std::string& {
        return SettingKey(key, "mail.server.", ref.serverKey, setting);
    };
    if (!ReadStringSetting(file, serverKey("name"), account.name, ref.nameLine) ||
        !ReadStringSetting(file, SettingKey(key, "mail.identity.", ref.identityKey, "useremail"),
                           account.email, ref.emailLine))
        return incomplete();

    std::string type;
    if (!ReadStringSetting(file, serverKey("type"), type, ref.typeLine))
        return incomplete();
    if (EqualsNoCase(type, "pop3")) {
        account.protocol = PROTOCOL_POP3;
    } else if (EqualsNoCase(type, "imap")) {
        account.protocol = PROTOCOL_IMAP;
        account.reason = REASON_IMAP;
        return FALSE;
    } else if (EqualsNoCase(type, "nntp")) {
        account.protocol = PROTOCOL_NEWS;
        account.reason = REASON_NEWS;
        return FALSE;
    } else {
        account.protocol = PROTOCOL_UNKNOWN;
        account.reason = REASON_UNKNOWN_PROTOCOL;
        return FALSE;
    }

    if (!ReadStringSetting(file, serverKey("userName"), account.current.userName, ref.userNameLine) ||
        !ReadStringSetting(file, serverKey("hostname"), account.current.server, ref.hostnameLine))
        return incomplete();
    ref.userNameText = std::string(file.Line(ref.userNameLine));
    ref.hostnameText = std::string(file.Line(ref.hostnameLine));

    if (!ReadSecureSetting(file, ref, account.current))
        return incomplete();

    int portLine = file.FindSetting(serverKey("port"));
    if (portLine < 0) {
        ref.portLine = -1;
        ref.portText.clear();
        account.current.port = DefaultPortFor(account.current.secure);
    } else {
        // A port that is not a plain number would come back as some other number: leave the account alone.
        if (!file.GetInteger(portLine, account.current.port))
            return incomplete();
        ref.portLine = portLine;
        ref.portText = std::string(file.Line(portLine));
    }
    account.current.authMode = AUTH_NORMAL;
    return TRUE;
}

BOOL CMozillaClient::ReadSecureSetting(const CMozillaPrefsFile& file, MozillaAccountRef& ref,
                                       PopSettings& settings) const
{
    settings.secure = PROXY_SECURE_NONE;
    settings.secureStored.clear();
    ref.secureName.clear();
    ref.secure = PROXY_SECURE_NONE;
    ref.secureLine = -1;
    ref.secureText.clear();
    // socketType replaced isSecure; a profile that has both is read by the newer one.
    int line = file.FindSetting(ServerKey(ref, kSocketType));
    if (line >= 0) {
        int type = 0;
        if (!file.GetInteger(line, type))
            return FALSE;
        if (type == kSocketSsl)
            settings.secure = PROXY_SECURE_SSL;
        else if (type == kSocketTryStartTls || type == kSocketStartTls)
            settings.secure = PROXY_SECURE_STLS;
        else if (type != kSocketPlain)
            return FALSE;
        settings.secureStored = std::string(kSocketType) + "=" + std::to_string(type);
        ref.secureName = kSocketType;
    } else {
        line = file.FindSetting(ServerKey(ref, kIsSecure));
        if (line < 0)
            return TRUE;
        BOOL secure = FALSE;
        if (!file.GetBoolean(line, secure))
            return FALSE;
        settings.secure = secure ? PROXY_SECURE_SSL : PROXY_SECURE_NONE;
        settings.secureStored = std::string(kIsSecure) + (secure ? "=true" : "=false");
        ref.secureName = kIsSecure;
    }
    ref.secure = settings.secure;
    ref.secureLine = line;
    ref.secureText = std::string(file.Line(line));
    return TRUE;
}

void CMozillaClient::MakeSecureEdit(const MozillaAccountRef& ref, const PopSettings& settings,
                                    EWriteSource source, CMozillaPrefsWriter::Edit& secure,
                                    std::string& secureName) const
{
    if (source == WRITE_ORIGINAL) {
        secure.lineAfter = SecureLine(ref, settings, secureName);
        secure.addWhenAbsent = TRUE;
    } else {
        // Off in the notation the profile uses; a profile without either setting is plain already.
        secureName = ref.secureName.empty() ? std::string(kSocketType) : ref.secureName;
        secure.lineAfter = secureName == kIsSecure
                               ? prefs::FormatBooleanSetting(ServerKey(ref, kIsSecure), FALSE)
                               : prefs::FormatIntegerSetting(ServerKey(ref, kSocketType), kSocketPlain);
    }
    secure.key = ServerKey(ref, secureName.c_str());
    secure.wasPresent = ref.secureLine >= 0 && secureName == ref.secureName;
    if (secure.wasPresent)
        secure.lineBefore = ref.secureText;
}

CMozillaPrefsWriter::Edit CMozillaClient::MakePortEdit(const MozillaAccountRef& ref, int port,
                                                       int secure) const
{
    CMozillaPrefsWriter::Edit edit;
    edit.key = ServerKey(ref, "port");
    edit.wasPresent = ref.portLine >= 0;
    edit.lineBefore = ref.portText;
    edit.lineAfter = prefs::FormatIntegerSetting(edit.key, port);
    // The client's default port needs no line of its own; any other port does.
    edit.addWhenAbsent = port != DefaultPortFor(secure);
    return edit;
}

BOOL CMozillaClient::WriteAccount(int index, EWriteSource source)
{
    try {
        MozillaStagedWrite write;
        if (!MakeWrite(index, source, write))
            return FALSE;
        const int fileIndex = m_accountRefs[static_cast<size_t>(index)].fileIndex;
        if (InBatch()) {
            m_staged[fileIndex].push_back(std::move(write));
            return TRUE;
        }
        return WritePrefsFile(fileIndex, std::vector<MozillaStagedWrite>(1, std::move(write)));
    } catch (const std::exception&) {
        return FALSE;
    }
}

void CMozillaClient::WriteStagedStores(std::vector<int>& failed)
{
    std::map<int, std::vector<MozillaStagedWrite>> staged;
    staged.swap(m_staged);
    for (const auto& file : staged) {
        BOOL written = FALSE;
        try {
            written = WritePrefsFile(file.first, file.second);
        } catch (const std::exception&) {
            written = FALSE;
        }
        if (!written) {
            for (const MozillaStagedWrite& write : file.second)
                failed.push_back(write.index);
        }
    }
}

BOOL CMozillaClient::MakeWrite(int index, EWriteSource source, MozillaStagedWrite& write)
{
    if (!IsValidIndex(index) || static_cast<size_t>(index) >= m_accountRefs.size())
        return FALSE;
    MozillaAccountRef& ref = m_accountRefs[static_cast<size_t>(index)];
    if (ref.userNameLine < 0 || ref.hostnameLine < 0)
        return FALSE;
    const PopSettings& settings = source == WRITE_ORIGINAL ? Account(index).original : Account(index).current;
    // The secure setting is only touched for an account that had one on: off while the proxy fetches (the
    // proxy talks TLS to the server), back as it was when giving back.
    write.index = index;
    write.writeSecure = Account(index).original.secure != PROXY_SECURE_NONE;
    write.secureAfter = write.writeSecure ? settings.secure : ref.secure;
    CMozillaPrefsWriter::Edit userName;
    userName.key = ServerKey(ref, "userName");
    userName.wasPresent = TRUE;
    userName.lineBefore = ref.userNameText;
    userName.lineAfter = prefs::FormatStringSetting(userName.key, settings.userName);
    CMozillaPrefsWriter::Edit hostname;
    hostname.key = ServerKey(ref, "hostname");
    hostname.wasPresent = TRUE;
    hostname.lineBefore = ref.hostnameText;
    hostname.lineAfter = prefs::FormatStringSetting(hostname.key, settings.server);
    write.edits.push_back(userName);
    write.edits.push_back(hostname);
    write.edits.push_back(MakePortEdit(ref, settings.port, write.secureAfter));
    if (!write.writeSecure)
        return TRUE;
    CMozillaPrefsWriter::Edit secure;
    MakeSecureEdit(ref, settings, source, secure, write.secureName);
    write.edits.push_back(secure);
    return TRUE;
}

BOOL CMozillaClient::WritePrefsFile(int fileIndex, const std::vector<MozillaStagedWrite>& writes)
{
    CMozillaPrefsWriter writer(m_foundFiles[static_cast<size_t>(fileIndex)]);
    for (const MozillaStagedWrite& write : writes) {
        for (const CMozillaPrefsWriter::Edit& edit : write.edits)
            writer.AddEdit(edit);
    }
    std::shared_ptr<CMozillaPrefsFile>& known = m_prefsFiles[static_cast<size_t>(fileIndex)];
    CMozillaPrefsShare::Own(known);
    if (!writer.Commit(*known))
        return FALSE;

    size_t first = 0;
    for (const MozillaStagedWrite& write : writes) {
        KeepWrittenLines(writer, *known, write, first);
        first += write.edits.size();
    }
    return TRUE;
}

void CMozillaClient::KeepWrittenLines(const CMozillaPrefsWriter& writer, const CMozillaPrefsFile& file,
                                      const MozillaStagedWrite& write, size_t firstEdit)
{
    (void)file;
    // The kept lines are now those written; a later write by this object starts from there, so a port line
    // added now is rewritten next time and never added twice.
    MozillaAccountRef& ref = m_accountRefs[static_cast<size_t>(write.index)];
    ref.userNameLine = writer.LineOfEdit(firstEdit);
    ref.userNameText = write.edits[0].lineAfter;
    ref.hostnameLine = writer.LineOfEdit(firstEdit + 1);
    ref.hostnameText = write.edits[1].lineAfter;
    ref.portLine = writer.LineOfEdit(firstEdit + 2);
    ref.portText = ref.portLine >= 0 ? write.edits[2].lineAfter : std::string();
    if (write.writeSecure && writer.LineOfEdit(firstEdit + 3) >= 0) {
        ref.secure = write.secureAfter;
        ref.secureName = write.secureName;
        ref.secureLine = writer.LineOfEdit(firstEdit + 3);
        ref.secureText = write.edits[3].lineAfter;
    }
}

BOOL CMozillaClient::LocateAccount(int index, std::string& store, std::string& identity) const
{
    const MozillaAccountRef* ref = AccountRef(index);
    if (!ref || ref->fileIndex < 0 || static_cast<size_t>(ref->fileIndex) >= m_foundFiles.size())
        return FALSE;
    store = m_foundFiles[static_cast<size_t>(ref->fileIndex)];
    identity = ref->serverKey;
    return TRUE;
}
