// CTheBatClient: The Bat!'s accounts read from and written to their account files through the depot.
#include "clients/TheBatClient.h"

#include "clients/TheBatDepot.h"
#include "clients/TheBatLoginCodec.h"
#include "Files.h"
#include "RegKey.h"
#include "TextEncoding.h"

#include <exception>

CTheBatClient::CTheBatClient() : m_depot(new CTheBatDepot)
{
    m_exeName = "thebat.exe";
    m_displayName = "The Bat!";
}

CTheBatClient::~CTheBatClient() = default;

BOOL CTheBatClient::DetectClient()
{
    try {
        if (!m_depot->LoadDepot())
            return FALSE;
        plat::CRegKey key;
        std::string exePath;
        if (key.Open(HKEY_CURRENT_USER, THEBAT_KEY, KEY_READ) != ERROR_SUCCESS ||
            key.QueryString("EXE path", exePath, CTheBatDepot::kValueLimit, nullptr, TRUE) != ERROR_SUCCESS)
            exePath.clear();
        m_exePath = exePath;
        return !m_exePath.empty() && plat::PathExists(m_exePath.c_str());
    } catch (const std::exception&) {
        return FALSE;
    }
}

void CTheBatClient::ResetLoad()
{
    m_depot.reset(new CTheBatDepot);
    CMailClient::ResetLoad();
}

int CTheBatClient::EnumerateAccounts()
{
    return m_depot->EntryCount();
}

size_t CTheBatClient::MaxUserNameLength() const
{
    return CTheBatLoginCodec::kMaxValueLength;
}

BOOL CTheBatClient::ReadAccount(int index)
{
    const TheBatAccountEntry* entry = m_depot->Entry(index);
    if (!IsValidIndex(index) || entry == nullptr)
        return FALSE;
    try {
        AccountInfo& account = Account(index);
        account.name = entry->accountName;
        std::string email;
        // Shown only, never written: a byte the code page leaves undefined shows as U+FFFD.
        if (entry->file.GetStringField(THEBAT_RECORD_EMAIL, email))
            account.email = plat::TextAsUtf8(email);
        if (!entry->loaded) {
            account.reason = entry->reason;
            return FALSE;
        }
        return ReadPopSettings(index);
    } catch (const std::exception&) {
        Account(index).reason = REASON_CONFIG_UNREADABLE;
        return FALSE;
    }
}

BOOL CTheBatClient::ReadPopSettings(int index)
{
    const CTheBatAccountFile& file = m_depot->Entry(index)->file;
    AccountInfo& account = Account(index);
    const std::string protocol = file.GetProtocolText();
    if (protocol == "IMAP") {
        account.protocol = PROTOCOL_IMAP;
        account.reason = REASON_IMAP;
        return FALSE;
    }
    if (protocol.empty()) {
        account.protocol = PROTOCOL_UNKNOWN;
        // A record too short to hold the flags is a damaged file, not another protocol.
        account.reason =
            file.FindRecord(THEBAT_RECORD_PROTOCOL) < 0 ? REASON_UNKNOWN_PROTOCOL : REASON_CONFIG_UNREADABLE;
        return FALSE;
    }
    // Configuring writes these three records and never creates one, so an account lacking any of them,
    // or holding one that cannot be read whole, could not be configured and given back as it was.
    std::string userName;
    std::string server;
    DWORD port = 0;
    if (!file.GetEncodedField(THEBAT_RECORD_LOGIN, userName) ||
        !file.GetStringField(THEBAT_RECORD_SERVER, server) ||
        !file.GetNumberField(THEBAT_RECORD_PORT, port)) {
        account.reason = REASON_CONFIG_UNREADABLE;
        return FALSE;
    }
    // The file holds text in the ANSI code page; a value it does not define could not go back as it was.
    if (!plat::CodePageToUtf8(userName, account.current.userName) ||
        !plat::CodePageToUtf8(server, account.current.server)) {
        account.reason = REASON_CODE_PAGE;
        return FALSE;
    }
    account.current.port = static_cast<int>(port);
    const std::string authMode = file.GetAuthModeText();
    if (authMode == "Normal") {
        account.current.authMode = AUTH_NORMAL;
    } else if (authMode == "APOP") {
        account.current.authMode = AUTH_APOP;
    } else if (authMode == "SPA") {
        account.current.authMode = AUTH_SPA;
    } else {
        account.current.authMode = AUTH_UNKNOWN;
        account.reason = REASON_AUTH_NOT_SUPPORTED;
        return FALSE;
    }
    return TRUE;
}

BOOL CTheBatClient::WriteAccount(int index, EWriteSource source)
{
    const TheBatAccountEntry* entry = m_depot->Entry(index);
    if (!IsValidIndex(index) || entry == nullptr || !entry->loaded)
        return FALSE;
    try {
        const AccountInfo& account = Account(index);
        const PopSettings& settings = source == WRITE_ORIGINAL ? account.original : account.current;
        // Edited on a copy: the records held stay those of the file until it has been replaced.
        // A letter the code page cannot hold would be written as another one: nothing is written.
        std::string userName;
        std::string server;
        if (!plat::Utf8ToCodePage(settings.userName, userName) ||
            !plat::Utf8ToCodePage(settings.server, server))
            return FALSE;
        CTheBatAccountFile edited = entry->file;
        if (!edited.SetEncodedField(THEBAT_RECORD_LOGIN, userName) ||
            !edited.SetStringField(THEBAT_RECORD_SERVER, server) ||
            !edited.SetNumberField(THEBAT_RECORD_PORT, static_cast<DWORD>(settings.port)))
            return FALSE;
        static const char* const kAuthModeTexts[] = {"Normal", "APOP", "SPA"};
        if (settings.authMode >= AUTH_NORMAL && settings.authMode <= AUTH_SPA &&
            !edited.SetAuthModeText(kAuthModeTexts[settings.authMode]))
            return FALSE;
        return m_depot->SaveAccountFile(index, edited);
    } catch (const std::exception&) {
        return FALSE;
    }
}

BOOL CTheBatClient::LocateAccount(int index, std::string& store, std::string& identity) const
{
    const TheBatAccountEntry* entry = m_depot ? m_depot->Entry(index) : nullptr;
    if (!entry || entry->dir.empty())
        return FALSE;
    // One account per file: the file is the store, the account's name tells which it is.
    store = CTheBatDepot::AccountFilePath(entry->dir);
    identity = entry->accountName;
    return TRUE;
}
