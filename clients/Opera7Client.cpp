// COpera7Client: Opera 7's mail accounts, all in one "accounts.ini" in the user's application-data folder.
#include "clients/Opera7Client.h"

#include "clients/OperaIniFile.h"
#include "Environment.h"

#include <exception>

namespace {

// The list rows carry an account's index in 16 bits; a larger count is not a real one.
const int kMaxAccounts = 0xFFFF;

std::string AccountSection(int index)
{
    return "Account" + std::to_string(index + 1);
}

} // namespace

COpera7Client::COpera7Client()
{
    m_displayName = "Opera 7";
    m_commandLineValue = "Last CommandLine v2";
}

void COpera7Client::ResetLoad()
{
    m_accountsIniPath.clear();
    CMailClient::ResetLoad();
}

int COpera7Client::EnumerateAccounts()
{
    std::string folder;
    if (!plat::AppDataFolder(folder))
        return 0;
    if (folder.empty() || folder.back() != '\\')
        folder += '\\';
    m_accountsIniPath = folder + "Opera\\Opera7\\Mail\\accounts.ini";
    std::string countText;
    int count = 0;
    if (!COperaIniFile(m_accountsIniPath).ReadValue("Accounts", "Count", countText) ||
        !COperaIniFile::LeadingNumber(countText, count) || count <= 0)
        return 0;
    return count < kMaxAccounts ? count : kMaxAccounts;
}

BOOL COpera7Client::ReadAccount(int index)
{
    if (!IsValidIndex(index))
        return FALSE;
    AccountInfo& account = Account(index);
    COperaIniFile file(m_accountsIniPath);
    std::string section = AccountSection(index);
    const char* s = section.c_str();
    auto incomplete = [&]() -> BOOL {
        account.reason = REASON_CONFIG_UNREADABLE;
        return FALSE;
    };
    // Read at once, then taken in the client's order: an account that fails shows the values read before
    // the one that is missing.
    static const char* const kKeys[] = {"Account Name",        "Email",
                                        "Incoming Protocol",   "Incoming Username",
                                        "Incoming Servername", "Incoming Port"};
    std::string values[6];
    file.ReadValues(s, kKeys, values, 6);
    auto take = [&](size_t i, std::string& field) -> BOOL {
        if (values[i].empty())
            return FALSE;
        field = values[i];
        return TRUE;
    };
    if (!take(0, account.name) || !take(1, account.email))
        return incomplete();
    if (values[2] == "IMAP") {
        account.protocol = PROTOCOL_IMAP;
        account.reason = REASON_IMAP;
        return FALSE;
    }
    if (values[2] != "POP") {
        account.protocol = PROTOCOL_UNKNOWN;
        account.reason = REASON_UNKNOWN_PROTOCOL;
        return FALSE;
    }
    if (!take(3, account.current.userName) || !take(4, account.current.server) || values[5].empty() ||
        !COperaIniFile::LeadingNumber(values[5], account.current.port))
        return incomplete();
    account.current.authMode = AUTH_NORMAL;
    // Built in place: a list of thousands of accounts is read at every load.
    COperaIniFile::Entries read;
    read.reserve(6);
    for (size_t i = 0; i < 6; ++i)
        read.push_back({section, kKeys[i], std::move(values[i])});
    KeepRead(index, std::move(read));
    return TRUE;
}

BOOL COpera7Client::WriteAccount(int index, EWriteSource source)
{
    if (!IsValidIndex(index))
        return FALSE;
    const PopSettings& settings = source == WRITE_ORIGINAL ? Account(index).original : Account(index).current;
    try {
        return WriteChecked(m_accountsIniPath, index, AccountSection(index).c_str(),
                            {{"Incoming Username", settings.userName},
                             {"Incoming Servername", settings.server},
                             {"Incoming Port", std::to_string(settings.port)}});
    } catch (const std::exception&) {
        return FALSE;
    }
}
