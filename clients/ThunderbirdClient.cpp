// CThunderbirdClient: Thunderbird and SeaMonkey, whose profiles are listed in a "profiles.ini" and whose
// accounts sit in each profile's "prefs.js" as Mozilla's do.
#include "clients/ThunderbirdClient.h"

#include "clients/MozillaPrefsShare.h"
#include "clients/MozillaProfilesIni.h"
#include "core/TextUtil.h"
#include "Environment.h"
#include "Files.h"
#include "RegKey.h"

#include <exception>

const ThunderbirdKind kThunderbird = {"Thunderbird", "Software\\Mozilla\\Mozilla Thunderbird", "Thunderbird",
                                      "thunderbird.exe"};
const ThunderbirdKind kSeaMonkey = {"SeaMonkey", "Software\\Mozilla\\SeaMonkey", "Mozilla\\SeaMonkey",
                                    "seamonkey.exe"};

namespace {

const char kCurrentVersion[] = "CurrentVersion";
const char kPathToExe[] = "PathToExe";
const char kRealHostname[] = "realhostname";
const char kRealUserName[] = "realuserName";
const char kAuthMethod[] = "authMethod";
// authMethod: 6 is SPA; configuring puts the plain password (3) in its place, for the proxy takes the login.
const int kAuthSpa = 6;
const int kAuthPlainPassword = 3;

std::string ServerKey(const MozillaAccountRef& ref, const char* setting)
{
    return "mail.server." + ref.serverKey + "." + setting;
}

// The product's program as its key names it: "CurrentVersion", then "<version>\Main" "PathToExe".
BOOL FindProgram(HKEY root, REGSAM view, const char* productKey, std::string& exePath)
{
    plat::CRegKey product;
    if (product.Open(root, productKey, KEY_READ | view) != ERROR_SUCCESS)
        return FALSE;
    std::string version;
    if (product.QueryString(kCurrentVersion, version, MAX_PATH) != ERROR_SUCCESS || version.empty())
        return FALSE;
    plat::CRegKey main;
    if (main.Open(product.Get(), (version + "\\Main").c_str(), KEY_READ | view) != ERROR_SUCCESS)
        return FALSE;
    std::string path;
    if (main.QueryString(kPathToExe, path, MAX_PATH) != ERROR_SUCCESS || path.empty() ||
        !plat::PathExists(path.c_str()))
        return FALSE;
    exePath = path;
    return TRUE;
}

} // namespace

CThunderbirdClient::CThunderbirdClient(const ThunderbirdKind& kind) : m_kind(kind)
{
    m_displayName = kind.displayName;
    m_exeName = kind.exeName;
    m_registryKey = kind.registryKey;
}

BOOL CThunderbirdClient::DetectClient()
{
    // A 64-bit build registers in the 64-bit view only, a 32-bit one in the 32-bit view.
    const REGSAM views[] = {KEY_WOW64_64KEY, KEY_WOW64_32KEY};
    for (HKEY root : {HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER}) {
        for (REGSAM view : views) {
            std::string exePath;
            if (FindProgram(root, view, m_kind.registryKey, exePath)) {
                m_exePath = exePath;
                return TRUE;
            }
        }
    }
    return FALSE;
}

void CThunderbirdClient::ResetLoad()
{
    m_profilesFolder.clear();
    m_userJs.clear();
    m_extras.clear();
    CMozillaClient::ResetLoad();
}

void CThunderbirdClient::FindProfiles()
{
    std::string folder;
    if (!plat::AppDataFolder(folder))
        return;
    if (folder.empty() || folder.back() != '\\')
        folder += '\\';
    m_profilesFolder = folder + m_kind.folderName;
    std::string text;
    if (!plat::ReadWholeFile((m_profilesFolder + "\\profiles.ini").c_str(), text))
        return;
    // A damaged file still names the profiles it has a Path for; those are read.
    std::vector<MozillaProfile> profiles;
    ParseMozillaProfilesIni(text, profiles);
    for (const MozillaProfile& profile : profiles) {
        std::string path;
        if (!ResolveMozillaProfilePath(m_profilesFolder, profile, path))
            continue;
        const std::string prefs = path + "\\prefs.js";
        // Two sections for one folder are one profile.
        BOOL known = FALSE;
        for (const std::string& found : m_foundFiles)
            known = known || EqualsNoCase(found, prefs);
        if (known || !plat::PathExists(prefs.c_str()))
            continue;
        m_foundFiles.push_back(prefs);
        CMozillaPrefsFile userJs;
        std::string bytes;
        if (plat::ReadWholeFile((path + "\\user.js").c_str(), bytes))
            userJs.Load(bytes);
        m_userJs.push_back(std::move(userJs));
    }
}

int CThunderbirdClient::EnumerateAccounts()
{
    try {
        FindProfiles();
        if (m_foundFiles.empty())
            return 0;
        CMozillaPrefsShare& share = CMozillaPrefsShare::Of(LoadContext());
        for (const std::string& path : m_foundFiles)
            m_prefsFiles.push_back(share.Read(path));
        for (size_t k = 0; k < m_prefsFiles.size(); ++k)
            ParsePrefsFile(static_cast<int>(k));
        KeepMailServers();
        m_extras.resize(m_accountRefs.size());
        return static_cast<int>(m_accountRefs.size());
    } catch (const std::exception&) {
        // A profile too large to hold: no account is offered rather than some of them.
        m_accountRefs.clear();
        m_extras.clear();
        return 0;
    }
}

void CThunderbirdClient::KeepMailServers()
{
    std::vector<MozillaAccountRef> kept;
    kept.reserve(m_accountRefs.size());
    for (MozillaAccountRef& ref : m_accountRefs) {
        const CMozillaPrefsFile& file = *m_prefsFiles[static_cast<size_t>(ref.fileIndex)];
        std::string type;
        int line = -1;
        if (ReadStringSetting(file, ServerKey(ref, "type"), type, line) &&
            (EqualsNoCase(type, "none") || EqualsNoCase(type, "nntp") || EqualsNoCase(type, "rss")))
            continue;
        const size_t comma = ref.identityKey.find(',');
        if (comma != std::string::npos)
            ref.identityKey.resize(comma);
        kept.push_back(std::move(ref));
    }
    m_accountRefs.swap(kept);
}

void CThunderbirdClient::ReadServerLine(const CMozillaPrefsFile& file, const std::string& key,
                                        ServerLine& line) const
{
    line = ServerLine();
    const int found = file.FindSetting(key);
    if (found < 0)
        return;
    line.line = found;
    line.text = std::string(file.Line(found));
}

BOOL CThunderbirdClient::IsFixedByUserJs(const MozillaAccountRef& ref) const
{
    const CMozillaPrefsFile& userJs = m_userJs[static_cast<size_t>(ref.fileIndex)];
    if (userJs.LineCount() == 0)
        return FALSE;
    for (const char* setting : {"type", "hostname", "userName", "realhostname", "realuserName", "port",
                                "socketType", "isSecure", "authMethod"}) {
        if (userJs.FindSetting(ServerKey(ref, setting)) >= 0)
            return TRUE;
    }
    return FALSE;
}

BOOL CThunderbirdClient::ReadAccount(int index)
{
    if (!CMozillaClient::ReadAccount(index))
        return FALSE;
    AccountInfo& account = Account(index);
    const MozillaAccountRef& ref = m_accountRefs[static_cast<size_t>(index)];
    const CMozillaPrefsFile& file = *m_prefsFiles[static_cast<size_t>(ref.fileIndex)];
    ServerExtras& extras = m_extras[static_cast<size_t>(index)];
    extras = ServerExtras();
    extras.hostname = account.current.server;
    extras.userName = account.current.userName;
    auto unreadable = [&]() -> BOOL {
        account.reason = REASON_CONFIG_UNREADABLE;
        return FALSE;
    };

    // The real names are the ones the client connects with; the plain ones key its folders and password.
    ReadServerLine(file, ServerKey(ref, kRealHostname), extras.realHostname);
    if (extras.realHostname.line >= 0 && !file.GetString(extras.realHostname.line, account.current.server))
        return unreadable();
    ReadServerLine(file, ServerKey(ref, kRealUserName), extras.realUserName);
    if (extras.realUserName.line >= 0 && !file.GetString(extras.realUserName.line, account.current.userName))
        return unreadable();
    ReadServerLine(file, ServerKey(ref, kAuthMethod), extras.authMethod);
    if (extras.authMethod.line >= 0) {
        int method = 0;
        if (!file.GetInteger(extras.authMethod.line, method))
            return unreadable();
        account.current.authMode = method == kAuthSpa ? AUTH_SPA : AUTH_NORMAL;
    }
    // user.js is read at every start over prefs.js: what is written here would be undone.
    if (IsFixedByUserJs(ref)) {
        account.reason = REASON_USER_JS;
        return FALSE;
    }
    return TRUE;
}

CMozillaPrefsWriter::Edit CThunderbirdClient::RealEdit(const MozillaAccountRef& ref, const char* setting,
                                                       const ServerLine& line, const std::string& value,
                                                       const std::string& plain) const
{
    CMozillaPrefsWriter::Edit edit;
    edit.key = ServerKey(ref, setting);
    edit.wasPresent = line.line >= 0;
    edit.lineBefore = line.text;
    // A real value equal to the plain one says nothing: without its line a profile never started since
    // comes back byte for byte.
    if (value == plain) {
        edit.removeLine = TRUE;
    } else {
        edit.lineAfter = prefs::FormatStringSetting(edit.key, value);
        edit.addWhenAbsent = TRUE;
    }
    return edit;
}

BOOL CThunderbirdClient::MakeWrite(int index, EWriteSource source, MozillaStagedWrite& write)
{
    if (!IsValidIndex(index) || static_cast<size_t>(index) >= m_accountRefs.size())
        return FALSE;
    const MozillaAccountRef& ref = m_accountRefs[static_cast<size_t>(index)];
    const ServerExtras& extras = m_extras[static_cast<size_t>(index)];
    if (ref.userNameLine < 0 || ref.hostnameLine < 0)
        return FALSE;
    const AccountInfo& account = Account(index);
    const PopSettings& settings = source == WRITE_ORIGINAL ? account.original : account.current;
    write.index = index;
    write.writeSecure = account.original.secure != PROXY_SECURE_NONE;
    write.secureAfter = write.writeSecure ? settings.secure : ref.secure;
    // Thunderbird 102 and later moves the real names into the plain ones at its next start, carrying its
    // password and folders along; older ones connect to the real names.
    write.edits.push_back(
        RealEdit(ref, kRealHostname, extras.realHostname, settings.server, extras.hostname));
    write.edits.push_back(
        RealEdit(ref, kRealUserName, extras.realUserName, settings.userName, extras.userName));
    write.edits.push_back(MakePortEdit(ref, settings.port, write.secureAfter));
    if (write.writeSecure) {
        CMozillaPrefsWriter::Edit secure;
        MakeSecureEdit(ref, settings, source, secure, write.secureName);
        write.edits.push_back(secure);
    }
    if (account.original.authMode == AUTH_SPA) {
        CMozillaPrefsWriter::Edit auth;
        auth.key = ServerKey(ref, kAuthMethod);
        auth.wasPresent = extras.authMethod.line >= 0;
        auth.lineBefore = extras.authMethod.text;
        auth.lineAfter =
            prefs::FormatIntegerSetting(auth.key, source == WRITE_ORIGINAL ? kAuthSpa : kAuthPlainPassword);
        auth.addWhenAbsent = source == WRITE_ORIGINAL;
        write.edits.push_back(auth);
    }
    return TRUE;
}

void CThunderbirdClient::KeepWrittenLines(const CMozillaPrefsWriter& writer, const CMozillaPrefsFile& file,
                                          const MozillaStagedWrite& write, size_t firstEdit)
{
    (void)writer;
    (void)firstEdit;
    // Taking a line out moves the others: every kept line is found again in the file as written, so that a
    // later write by this object starts from there.
    MozillaAccountRef& ref = m_accountRefs[static_cast<size_t>(write.index)];
    ServerExtras& extras = m_extras[static_cast<size_t>(write.index)];
    ref.userNameLine = file.FindSetting(ServerKey(ref, "userName"));
    ref.hostnameLine = file.FindSetting(ServerKey(ref, "hostname"));
    ReadServerLine(file, ServerKey(ref, kRealHostname), extras.realHostname);
    ReadServerLine(file, ServerKey(ref, kRealUserName), extras.realUserName);
    ReadServerLine(file, ServerKey(ref, kAuthMethod), extras.authMethod);
    ref.portLine = file.FindSetting(ServerKey(ref, "port"));
    ref.portText = ref.portLine >= 0 ? std::string(file.Line(ref.portLine)) : std::string();
    if (write.writeSecure) {
        const int line = file.FindSetting(ServerKey(ref, write.secureName.c_str()));
        if (line >= 0) {
            ref.secure = write.secureAfter;
            ref.secureName = write.secureName;
            ref.secureLine = line;
            ref.secureText = std::string(file.Line(line));
        }
    }
}

BOOL CThunderbirdClient::LocateAccount(int index, std::string& store, std::string& identity) const
{
    if (index < 0 || static_cast<size_t>(index) >= m_accountRefs.size())
        return FALSE;
    const MozillaAccountRef& ref = m_accountRefs[static_cast<size_t>(index)];
    store = m_foundFiles[static_cast<size_t>(ref.fileIndex)];
    identity = ref.serverKey;
    return TRUE;
}

BOOL CThunderbirdClient::IsStoreInUse() const
{
    for (const std::string& prefs : m_foundFiles) {
        const std::string lock = prefs.substr(0, prefs.find_last_of('\\') + 1) + "parent.lock";
        if (plat::IsFileHeldOpen(lock.c_str()))
            return TRUE;
    }
    return FALSE;
}
