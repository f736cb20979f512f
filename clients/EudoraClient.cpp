// CEudoraClient: detection through Eudora's recorded command line, and its account in the settings file.
#include "clients/EudoraClient.h"
#include "clients/CodePageText.h"
#include "clients/StoreFileWrite.h"

#include "Environment.h"
#include "Files.h"
#include "Profile.h"
#include "RegKey.h"
#include "settings/ProductSettings.h"

#include <exception>

namespace {

const char kCommandLineKey[] = "Software\\Qualcomm\\Eudora\\CommandLine";
const char kSection[] = "Settings";
const DWORD kCommandLineLimit = 260;
// Eudora's own readers use 255 characters; a longer value is read whole up to this length, never cut.
const DWORD kLongestValue = 65278;
// Eudora keeps no port: it always fetches from 110.
const int kEudoraPort = 110;

const char* Flag(BOOL on)
{
    return on ? "1" : "0";
}

} // namespace

CEudoraClient::CEudoraClient()
{
    m_displayName = "Eudora";
    m_exeName = "Eudora.exe";
}

CEudoraClient::~CEudoraClient() = default;

BOOL CEudoraClient::DetectClient()
{
    try {
        plat::CRegKey key;
        std::string commandLine;
        if (key.Open(HKEY_CURRENT_USER, kCommandLineKey, KEY_READ) != ERROR_SUCCESS ||
            key.QueryString("current", commandLine, kCommandLineLimit, nullptr, TRUE) != ERROR_SUCCESS)
            return FALSE;
        key.Close();
        // The program first and the settings file last; quotes are not part of Eudora's record.
        const size_t firstSpace = commandLine.find(' ');
        if (firstSpace == std::string::npos)
            return FALSE;
        m_exePath = commandLine.substr(0, firstSpace);
        m_iniPath = commandLine.substr(commandLine.rfind(' ') + 1);
        return plat::PathExists(m_exePath.c_str());
    } catch (const std::exception&) {
        return FALSE;
    }
}

void CEudoraClient::ResetLoad()
{
    m_iniPath.clear();
    m_iniBytes.clear();
    CMailClient::ResetLoad();
}

int CEudoraClient::EnumerateAccounts()
{
    return !m_iniPath.empty() && plat::PathExists(m_iniPath.c_str()) ? 1 : 0;
}

size_t CEudoraClient::MaxUserNameLength() const
{
    return kLongestValue;
}

BOOL CEudoraClient::ReadSetting(const char* key, std::string& value) const
{
    return ReadSettingFrom(m_iniPath, key, value);
}

BOOL CEudoraClient::ReadSettingFrom(const std::string& path, const char* key, std::string& value)
{
    return plat::ProfileGetStrings(kSection, &key, 1, &value, kLongestValue, path.c_str());
}

BOOL CEudoraClient::ReadAccount(int index)
{
    if (!IsValidIndex(index))
        return FALSE;
    AccountInfo& account = Account(index);
    try {
        account.name = "Eudora";
        return ReadPopSettings(account);
    } catch (const std::exception&) {
        account.reason = REASON_CONFIG_UNREADABLE;
        return FALSE;
    }
}

BOOL CEudoraClient::ReadPopSettings(AccountInfo& account)
{
    // Taken before the values, so that a write notices any change made after them.
    if (!plat::ReadWholeFile(m_iniPath.c_str(), m_iniBytes)) {
        account.reason = REASON_CONFIG_UNREADABLE;
        return FALSE;
    }
    std::string email;
    if (ReadSetting("ReturnAddress", email))
        account.email = email;
    std::string flag;
    if (ReadSetting("UsesIMAP", flag) && flag == "1") {
        account.protocol = PROTOCOL_IMAP;
        account.reason = REASON_IMAP;
        return FALSE;
    }
    if (!ReadSetting("UsesPOP", flag) || flag != "1") {
        account.protocol = PROTOCOL_UNKNOWN;
        account.reason = REASON_UNKNOWN_PROTOCOL;
        return FALSE;
    }
    std::string userName;
    std::string server;
    if (!ReadSetting("LoginName", userName) || userName.empty() || !ReadSetting("PopServer", server) ||
        server.empty()) {
        account.reason = REASON_CONFIG_UNREADABLE;
        return FALSE;
    }
    account.current.userName = userName;
    account.current.server = server;
    account.current.port = kEudoraPort;
    // What is written back must be what was read, in the file's code page.
    if (!HoldsInCodePage(userName) || !HoldsInCodePage(server)) {
        account.reason = REASON_CODE_PAGE;
        return FALSE;
    }
    if (ReadSetting("AuthenticatePassword", flag) && flag == "1") {
        account.current.authMode = AUTH_NORMAL;
    } else if (ReadSetting("AuthenticateAPOP", flag) && flag == "1") {
        account.current.authMode = AUTH_APOP;
    } else if (ReadSetting("AuthenticateRPA", flag) && flag == "1") {
        account.current.authMode = AUTH_SPA;
    } else {
        account.current.authMode = AUTH_UNKNOWN;
        account.reason = REASON_AUTH_NOT_SUPPORTED;
        return FALSE;
    }
    // A plain account cannot be pointed at a proxy on another port. A configured one stays supported so
    // that it can still be given back: refusing it would strand it on a port where nothing listens.
    if (g_productSettings.m_proxyPort != kEudoraPort && userName.find('/') == std::string::npos) {
        account.supported = FALSE;
        account.reason = REASON_NO_PORT_SELECTION;
        return FALSE;
    }
    return TRUE;
}

BOOL CEudoraClient::WriteAccount(int index, EWriteSource source)
{
    if (!IsValidIndex(index))
        return FALSE;
    const AccountInfo& account = Account(index);
    const PopSettings& settings = source == WRITE_ORIGINAL ? account.original : account.current;
    // Pointing Eudora at a proxy on another port would succeed on paper and fetch nothing.
    if (source != WRITE_ORIGINAL && settings.port != kEudoraPort)
        return FALSE;
    try {
        return WriteSettingsFile(settings);
    } catch (const std::exception&) {
        return FALSE;
    }
}

BOOL CEudoraClient::WriteSettingsFile(const PopSettings& settings)
{
    // The file would then hold no account at all, as read above: a proxy user name without the real user
    // name or server gives back an empty one, and is not restored.
    if (settings.userName.empty() || settings.server.empty())
        return FALSE;
    std::string onDisk;
    if (!plat::ReadWholeFile(m_iniPath.c_str(), onDisk) || onDisk != m_iniBytes)
        return FALSE;
    // The keys are written into a copy, and the copy replaces the file in one step: a write that fails
    // half way leaves Eudora's file as it was.
    std::string tempFolder;
    std::string copyPath;
    if (!plat::TempFolder(tempFolder) ||
        !plat::CreateTempFileIn(tempFolder.c_str(), plat::kTempFilePrefix, copyPath))
        return FALSE;
    const struct
    {
        const char* key;
        std::string value;
    } writes[] = {
        {"UsesIMAP", "0"},
        {"UsesPOP", "1"},
        {"LoginName", settings.userName},
        {"PopServer", settings.server},
        {"AuthenticatePassword", Flag(settings.authMode == AUTH_NORMAL)},
        {"AuthenticateAPOP", Flag(settings.authMode == AUTH_APOP)},
        {"AuthenticateRPA", Flag(settings.authMode == AUTH_SPA)},
    };
    BOOL ok = plat::ReplaceWholeFile(copyPath.c_str(), onDisk);
    for (const auto& write : writes) {
        if (!ok)
            break;
        ok = plat::ProfileWriteString(kSection, write.key, write.value.c_str(), copyPath.c_str());
    }
    // The copy gives back what Eudora will read: a value the profile functions would trim or unquote (a
    // user name ending in a blank, kept in a proxy user name) would not come back as it was, and is refused.
    for (const auto& write : writes) {
        std::string readBack;
        if (!ok)
            break;
        ok = ReadSettingFrom(copyPath, write.key, readBack) && readBack == write.value;
    }
    std::string edited;
    ok = ok && plat::ReadWholeFile(copyPath.c_str(), edited);
    plat::RemoveFile(copyPath.c_str());
    if (!ok)
        return FALSE;
    if (!plat::ReadWholeFile(m_iniPath.c_str(), onDisk) || onDisk != m_iniBytes ||
        !ReplaceStoreFile(m_iniPath, edited))
        return FALSE;
    // The copy lives in the temporary folder: a stopped run leaves it there.
    RemoveStaleTempFiles(tempFolder);
    m_iniBytes.swap(edited);
    return TRUE;
}

BOOL CEudoraClient::LocateAccount(int index, std::string& store, std::string& identity) const
{
    // The one account of the settings file, in its [Settings] section.
    if (index != 0 || m_iniPath.empty())
        return FALSE;
    store = m_iniPath;
    identity = "Settings";
    return TRUE;
}
