// COpera7Client: Opera 7's mail accounts, all in one "accounts.ini" in the user's application-data folder.
#include "clients/Opera7Client.h"

#include "clients/CodePageText.h"
#include "clients/OperaIniFile.h"
#include "Environment.h"

#include <algorithm>
#include <exception>
#include <utility>
#include <vector>

namespace {

// The list rows carry an account's index in 16 bits; a larger count is not a real one.
const int kMaxAccounts = 0xFFFF;

std::string AccountSection(int index)
{
    return "Account" + std::to_string(index + 1);
}

const char kSecureIn[] = "Secure Connection In";
// Opera writes 1 for a secure incoming connection; it is what is given back when only the proxy user name
// told of it.
const char kSecureOn[] = "1";
// Opera's own SSL port; any other port with a secure connection asks for STARTTLS.
const int kSslPort = 995;

} // namespace

COpera7Client::COpera7Client()
{
    m_displayName = "Opera 7";
    m_commandLineValue = "Last CommandLine v2";
}

void COpera7Client::ResetLoad()
{
    m_accountsIniPath.clear();
    COperaClient::ResetLoad();
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
    static const char* const kKeys[] = {
        "Account Name",  "Email",  "Incoming Protocol", "Incoming Username", "Incoming Servername",
        "Incoming Port", kSecureIn};
    const size_t kKeyCount = sizeof(kKeys) / sizeof(kKeys[0]);
    const size_t kSecure = kKeyCount - 1;
    std::string values[kKeyCount];
    // The secure key is often absent, so the result is not used: every value is checked below.
    file.ReadValues(s, kKeys, values, kKeyCount);
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
    // What is written back must be what was read, in the file's code page.
    if (!HoldsInCodePage(values[3]) || !HoldsInCodePage(values[4]) || !HoldsInCodePage(values[kSecure])) {
        account.reason = REASON_CODE_PAGE;
        return FALSE;
    }
    account.current.authMode = AUTH_NORMAL;
    int secure = 0;
    account.current.secureStored = values[kSecure];
    // A number too long for an int still has a non-zero digit in it.
    if (!values[kSecure].empty() && (!COperaIniFile::LeadingNumber(values[kSecure], secure) || secure != 0))
        account.current.secure = account.current.port == kSslPort ? PROXY_SECURE_SSL : PROXY_SECURE_STLS;
    else
        account.current.secure = PROXY_SECURE_NONE;
    // Built in place: a list of thousands of accounts is read at every load. An absent secure key is not
    // expected: the file could not show it as it was read.
    COperaIniFile::Entries read;
    read.reserve(kKeyCount);
    for (size_t i = 0; i < kKeyCount; ++i) {
        if (i != kSecure || !values[i].empty())
            read.push_back({section, kKeys[i], std::move(values[i])});
    }
    KeepRead(index, std::move(read));
    return TRUE;
}

BOOL COpera7Client::WriteAccount(int index, EWriteSource source)
{
    if (!IsValidIndex(index))
        return FALSE;
    const PopSettings& settings = source == WRITE_ORIGINAL ? Account(index).original : Account(index).current;
    const PopSettings& original = Account(index).original;
    try {
        std::vector<std::pair<std::string, std::string>> values = {
            {"Incoming Username", settings.userName},
            {"Incoming Servername", settings.server},
            {"Incoming Port", std::to_string(settings.port)}};
        // The hop to the proxy is plain, so configuring turns the secure connection off; giving back turns it
        // on with the value as stored. The proxy user name carries every real setting, so it comes first when
        // configuring and goes last when giving back.
        if (original.secure != PROXY_SECURE_NONE) {
            if (source == WRITE_CURRENT) {
                values.push_back({kSecureIn, "0"});
            } else {
                std::reverse(values.begin(), values.end());
                values.insert(values.begin(),
                              {kSecureIn, original.secureStored.empty() ? kSecureOn : original.secureStored});
            }
        }
        return WriteChecked(m_accountsIniPath, index, AccountSection(index).c_str(), values);
    } catch (const std::exception&) {
        return FALSE;
    }
}

BOOL COpera7Client::LocateAccount(int index, std::string& store, std::string& identity) const
{
    if (index < 0 || index >= m_accountCount || m_accountsIniPath.empty())
        return FALSE;
    store = m_accountsIniPath;
    identity = AccountSection(index);
    return TRUE;
}
